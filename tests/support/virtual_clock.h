#pragma once

// Time for tests: advancing the clock fires every due timer tick in order,
// so long runs take microseconds and never depend on the machine's speed.

#include <cstdint>
#include <deque>

#include "ui/controls.h"

namespace dravilo::test {

class VirtualClock {
public:
    void watch(Timer& timer)
    {
        Entry& entry = entries_.emplace_back(Entry{&timer, 0});
        timer.scheduleChanged = [this, &entry] { entry.due = now_ + entry.timer->interval(); };
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
            next->due = now_ + next->timer->interval();
            next->timer->tick();
        }
        now_ = target;
    }

private:
    struct Entry {
        Timer* timer;
        std::int64_t due;
    };
    std::deque<Entry> entries_;  // stable addresses for the watchers
    std::int64_t now_ = 0;
};

}  // namespace dravilo::test
