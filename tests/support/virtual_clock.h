#pragma once

// Time for tests: advancing the clock fires every due timer tick in order,
// so long runs take microseconds and never depend on the machine's speed.
// Ticks fall on the send timer's grid, start + k × interval from the last
// change of the schedule. A virtual tick is never late, so none is owed,
// and for the plain timers this is the same as counting from each tick.

#include <cstdint>
#include <deque>

#include "base/controls.h"
#include "base/tick_schedule.h"

namespace dravilo::test {

class VirtualClock {
public:
    void watch(Timer& timer)
    {
        Entry& entry = entries_.emplace_back(Entry{&timer});
        timer.scheduleChanged = [this, &entry] {
            entry.start = now_;
            entry.due = now_ + entry.timer->interval();
        };
        timer.scheduleChanged();
    }

    void advance(std::int64_t ms)
    {
        const std::int64_t target = now_ + ms;
        for (;;) {
            Entry* next = nullptr;
            for (Entry& e : entries_)
                if (e.timer->running() && e.due <= target && (!next || e.due < next->due))
                    next = &e;
            if (!next)
                break;
            now_ = next->due;
            next->due = NextDeadline(next->start, next->timer->interval(), now_, now_, kCatchUpMs);
            next->timer->tick();
        }
        now_ = target;
    }

    std::int64_t now() const { return now_; }

private:
    struct Entry {
        Timer* timer;
        std::int64_t start = 0;
        std::int64_t due = 0;
    };
    std::deque<Entry> entries_;  // stable addresses for the watchers
    std::int64_t now_ = 0;
};

}  // namespace dravilo::test
