#pragma once

// Answers that wait: each runs once its time has come, in the order of
// their times, while the terminal goes on. Driven like the window's timers.

#include <cstdint>
#include <functional>
#include <map>

#include "base/controls.h"

namespace dravilo {

class Waits {
public:
    // `now`: milliseconds on a clock that only goes forward.
    explicit Waits(std::function<std::int64_t()> now);

    void add(int ms, std::function<void()> done);

    Timer timer;  // ticks when the earliest wait is over

private:
    void wake();
    void arm();

    std::function<std::int64_t()> now_;
    std::multimap<std::int64_t, std::function<void()>> waiting_;  // by the time each is due
};

}  // namespace dravilo
