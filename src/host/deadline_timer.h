#pragma once

#include <cstdint>

#include "base/controls.h"
#include "host/alarm_drive.h"

namespace dravilo {

// Drives a timer model on absolute deadlines start + k × interval, so that
// its mean period is the interval however late single ticks come. A change
// of interval or enabled starts a new schedule one interval from then. The
// deadlines are an alarm's, timed by the kernel on Linux.
class DeadlineTimer {
public:
    explicit DeadlineTimer(Timer& model);
    ~DeadlineTimer();
    DeadlineTimer(const DeadlineTimer&) = delete;
    DeadlineTimer& operator=(const DeadlineTimer&) = delete;

private:
    void restart();
    void serve();
    std::int64_t intervalNs() const { return std::int64_t(model_.interval()) * 1'000'000; }

    Timer& model_;
    Alarm deadline_;
    AlarmDrive drive_{deadline_};
    std::int64_t startNs_ = 0;
    std::int64_t servedNs_ = 0;  // the deadline served last
};

}  // namespace dravilo
