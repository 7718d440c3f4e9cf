#pragma once

#include <QTimer>
#include <memory>
#include <vector>

#include "base/controls.h"
#include "host/deadline_timer.h"

namespace dravilo {

// Drives timer models: a model's tick runs on each timeout, and a change of
// its interval or enabled state restarts the countdown. A precise timer
// ticks on absolute deadlines (a DeadlineTimer), for a period promised to
// the host; the others on QTimers of the type asked for.
class TimerDrive {
public:
    TimerDrive() = default;
    ~TimerDrive();  // the models stop asking for QTimers that are gone
    TimerDrive(const TimerDrive&) = delete;
    TimerDrive& operator=(const TimerDrive&) = delete;

    void drive(Timer& model, Qt::TimerType precision = Qt::CoarseTimer);

private:
    std::vector<std::unique_ptr<QTimer>> timers_;
    std::vector<Timer*> models_;
    std::vector<std::unique_ptr<DeadlineTimer>> deadlineTimers_;
};

}  // namespace dravilo
