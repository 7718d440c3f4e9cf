#pragma once

#include <QtGlobal>
#include <cstdint>
#include <memory>

#ifdef Q_OS_LINUX
#include <QSocketNotifier>
#else
#include <QTimer>
#endif

#include "base/controls.h"

namespace dravilo {

// Nanoseconds on the steady clock, the clock alarms are set on.
std::int64_t SteadyNowNs();

// Rings an alarm model at the moment it is set for: on Linux the kernel
// times it (timerfd), to well under a millisecond; elsewhere a precise
// QTimer, to the nearest millisecond.
class AlarmDrive {
public:
    explicit AlarmDrive(Alarm& model);
    ~AlarmDrive();
    AlarmDrive(const AlarmDrive&) = delete;
    AlarmDrive& operator=(const AlarmDrive&) = delete;

private:
    void follow();

    Alarm& model_;
#ifdef Q_OS_LINUX
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
#else
    QTimer timer_;
#endif
};

}  // namespace dravilo
