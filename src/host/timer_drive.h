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
    // A model whose ticks change only what a person would see, in a run
    // where nobody can: it never wakes the program, and its due ticks run
    // when somebody looks (catchUp), so what is looked at is as it would be.
    void driveWhenLookedAt(Timer& model);
    void catchUp();

private:
    struct Deferred {
        Timer* model;
        std::int64_t dueMs = 0;
    };

    std::vector<std::unique_ptr<QTimer>> timers_;
    std::vector<Timer*> models_;
    std::vector<std::unique_ptr<DeadlineTimer>> deadlineTimers_;
    std::vector<std::unique_ptr<Deferred>> deferred_;
};

}  // namespace dravilo
