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

// Drives a timer model on absolute deadlines start + k × interval, so that
// its mean period is the interval however late single ticks come. A change
// of interval or enabled starts a new schedule one interval from then.
// On Linux the kernel times the deadlines (timerfd); elsewhere a precise
// QTimer is set each time for what is left to the next one.
class DeadlineTimer {
public:
    explicit DeadlineTimer(Timer& model);
    ~DeadlineTimer();
    DeadlineTimer(const DeadlineTimer&) = delete;
    DeadlineTimer& operator=(const DeadlineTimer&) = delete;

private:
    void restart();
    void serve();
    void arm(std::int64_t deadlineNs);
    void disarm();
    std::int64_t intervalNs() const { return std::int64_t(model_.interval()) * 1'000'000; }

    Timer& model_;
    std::int64_t startNs_ = 0;
    std::int64_t deadlineNs_ = 0;
#ifdef Q_OS_LINUX
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
#else
    QTimer timer_;
#endif
};

}  // namespace dravilo
