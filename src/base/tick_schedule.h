#pragma once

// The send timer's schedule: ticks fall on start + k × interval, so the
// lateness of single ticks never adds up into a slower line.

#include <algorithm>
#include <cstdint>

namespace dravilo {

// How far behind the schedule may fall and still send every frame it owes:
// a stall of a loaded machine is caught up in one burst, a suspended
// laptop's hours are not.
constexpr std::int64_t kCatchUpMs = 100;

// The deadline to serve after `served`, all times in one unit. Normally the
// next point of the grid, served at once when it is already due, and again
// and again while the schedule is no more than `catchUp` (or one interval)
// behind: owed ticks come in a burst. Further behind, the first point after
// `now`: the owed ticks are skipped.
constexpr std::int64_t NextDeadline(std::int64_t start, std::int64_t interval, std::int64_t served,
                                    std::int64_t now, std::int64_t catchUp)
{
    const std::int64_t next = served + interval;
    if (now - next <= std::max(interval, catchUp))
        return next;
    return start + ((now - start) / interval + 1) * interval;
}

}  // namespace dravilo
