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

TEST(TickSchedule, LateTicksKeepTheGridAndALongStallSkipsForward)
{
    struct Case {
        const char* what;
        std::int64_t start, interval, served, now, next;
    };
    const Case cases[] = {
        {"on time", 0, 10, 10, 10, 20},
        {"late, less than a period", 0, 10, 10, 17, 20},
        {"the next is due too: caught up at once", 0, 10, 10, 27, 20},
        {"the next is due by exactly a period", 0, 10, 10, 30, 20},
        {"more than a period past the next", 0, 10, 10, 31, 40},
        {"past the next onto a grid point", 0, 10, 10, 40, 50},
        {"a long stall", 0, 10, 10, 100'005, 100'010},
        {"the grid starts where the schedule did", 3, 10, 13, 58, 63},
        {"1 ms in nanoseconds, late", 5'000'000'000, 1'000'000, 5'007'000'000, 5'007'900'000, 5'008'000'000},
        {"1 ms in nanoseconds, one owed", 5'000'000'000, 1'000'000, 5'007'000'000, 5'008'900'000, 5'008'000'000},
        {"1 ms in nanoseconds, stalled", 5'000'000'000, 1'000'000, 5'007'000'000, 5'009'100'000, 5'010'000'000},
        {"longest period in nanoseconds", 0, 32'767'000'000, 32'767'000'000, 40'000'000'000, 65'534'000'000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextDeadline(c.start, c.interval, c.served, c.now), c.next) << c.what;
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
