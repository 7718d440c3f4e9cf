#pragma once

// The send timer's schedule: ticks fall on start + k × interval, so the
// lateness of single ticks never adds up into a slower line.

#include <cstdint>

namespace dravilo {

// The deadline to serve after `served`, all times in one unit. Normally the
// next point of the grid, served at once when it is already due: one late
// tick is caught up. When `now` is more than a period past it as well (a
// stall owes several ticks), the first point after `now`: the owed ticks are
// skipped instead of sent in a burst.
constexpr std::int64_t NextDeadline(std::int64_t start, std::int64_t interval, std::int64_t served,
                                    std::int64_t now)
{
    const std::int64_t next = served + interval;
    if (now - next <= interval)
        return next;
    return start + ((now - start) / interval + 1) * interval;
}

}  // namespace dravilo
