#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "base/tick_schedule.h"
#include "virtual_clock.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

// A running timer under the virtual clock, with the time of each tick.
struct Ticking {
    VirtualClock clock;
    Timer timer;
    std::vector<std::int64_t> ticks;

    explicit Ticking(int interval)
    {
        timer.setInterval(interval);
        timer.setEnabled(true);
        timer.onTick = [this] { ticks.push_back(clock.now()); };
        clock.watch(timer);
    }
};

}  // namespace

TEST(TickSchedule, OwedTicksComeInABurstAndOnlyALongStallSkipsForward)
{
    struct Case {
        const char* what;
        std::int64_t start, interval, served, now, catchUp, next;
    };
    constexpr std::int64_t ms = 1'000'000;
    const Case cases[] = {
        {"on time", 0, 10, 10, 10, 100, 20},
        {"late, less than a period", 0, 10, 10, 17, 100, 20},
        {"several owed: served at once, one by one", 0, 10, 10, 61, 100, 20},
        {"owed by exactly the bound", 0, 10, 10, 120, 100, 20},
        {"further behind than the bound: skipped", 0, 10, 10, 121, 100, 130},
        {"onto a grid point", 0, 10, 10, 140, 100, 150},
        {"the grid starts where the schedule did", 3, 10, 13, 158, 100, 163},
        {"a period longer than the bound: one late tick still comes", 0, 150, 150, 440, 100, 300},
        {"a suspended laptop", 0, 10, 10, 3'600'005, 100, 3'600'010},
        {"1 ms in nanoseconds, a 50 ms stall", 5'000 * ms, ms, 5'007 * ms, 5'057 * ms, 100 * ms, 5'008 * ms},
        {"1 ms in nanoseconds, a 150 ms stall", 5'000 * ms, ms, 5'007 * ms, 5'158 * ms + 1, 100 * ms, 5'159 * ms},
        {"longest period in nanoseconds", 0, 32'767 * ms, 32'767 * ms, 40'000 * ms, 100 * ms, 65'534 * ms},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextDeadline(c.start, c.interval, c.served, c.now, c.catchUp), c.next) << c.what;
}

TEST(VirtualClock, ThousandTicksTakeExactlyAThousandPeriods)
{
    for (int interval : {1, 10, 150, 32767}) {
        Ticking t(interval);
        t.clock.advance(std::int64_t(interval) * 1000 - 1);
        EXPECT_EQ(t.ticks.size(), 999u) << interval;
        t.clock.advance(1);
        ASSERT_EQ(t.ticks.size(), 1000u) << interval;
        for (size_t k = 0; k < t.ticks.size(); ++k)
            ASSERT_EQ(t.ticks[k], std::int64_t(interval) * std::int64_t(k + 1)) << interval << " tick " << k;
    }
}

TEST(VirtualClock, AChangeStartsANewScheduleFromTheNextTick)
{
    struct Case {
        const char* what;
        std::function<void(Timer&)> change;
        std::int64_t next, after;
    };
    const Case cases[] = {
        {"a shorter interval", [](Timer& t) { t.setInterval(4); }, 29, 33},
        {"off and on again", [](Timer& t) { t.setEnabled(false); t.setEnabled(true); }, 35, 45},
        {"there and back", [](Timer& t) { t.setInterval(7); t.setInterval(10); }, 35, 45},
        {"the same interval keeps the grid", [](Timer& t) { t.setInterval(10); }, 30, 40},
    };
    for (const Case& c : cases) {
        Ticking t(10);
        t.clock.advance(25);
        c.change(t.timer);
        t.ticks.clear();
        t.clock.advance(25);
        ASSERT_GE(t.ticks.size(), 2u) << c.what;
        EXPECT_EQ(t.ticks[0], c.next) << c.what;
        EXPECT_EQ(t.ticks[1], c.after) << c.what;
    }
}
