// ZELM-1 at 1, 10 and 150 ms: the headless emulator, then a bare sender on
// absolute deadlines writing the same line to the same kind of
// pseudo-terminal, one after the other so that neither disturbs the other.
// A host reads the master end and stamps each whole line.

#include <atomic>
#include <cstdio>
#include <thread>
#include <time.h>
#include <unistd.h>

#include "line_log.h"
#include "parts.h"
#include "period_fit.h"

namespace dravilo::test {

namespace {

struct Run {
    PeriodFit fit;
    int wellFormed = 0;
};

Run record(PtyPair& pty, int periodMs, double seconds)
{
    LineLog log{pty.masterFd()};
    if (!Settle({&log}))
        return {};
    ReadLines({&log}, seconds);
    return {FitPeriod(log.stampsMs, periodMs), log.wellFormed};
}

Run emulatorRun(int periodMs, double seconds)
{
    PtyPair pty;
    EmulatorProcess emulator;
    StoreZelm1(emulator, periodMs);
    LaunchOnPty(emulator, pty, {"--headless"});
    return record(pty, periodMs, seconds);
}

std::int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// Frame k is due at start + k × period on CLOCK_MONOTONIC; a late wake-up
// sends every frame due by then at once, as the emulator does.
Run bareRun(int periodMs, double seconds)
{
    PtyPair pty;
    std::atomic<bool> stop = false;
    std::thread sender([&stop, fd = pty.slaveFd(), periodNs = periodMs * 1'000'000LL] {
        const std::int64_t start = monotonicNs();
        for (std::int64_t sent = 0; !stop;) {
            const std::int64_t due = start + (sent + 1) * periodNs;
            const timespec at{time_t(due / 1'000'000'000), long(due % 1'000'000'000)};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
            for (const std::int64_t owed = (monotonicNs() - start) / periodNs; sent < owed; ++sent)
                if (::write(fd, "WW00000.0kg\r\n", 13) != 13)
                    return;
        }
    });
    struct Join {  // also when the run is stopped midway
        std::atomic<bool>& stop;
        std::thread& sender;
        ~Join()
        {
            stop = true;
            sender.join();
        }
    } join{stop, sender};
    return record(pty, periodMs, seconds);
}

void print(int periodMs, double seconds, const Run& emulator, const Run& bare)
{
    const PeriodFit& e = emulator.fit;
    const PeriodFit& b = bare.fit;
    auto row = [](const char* figure, const std::string& left, const std::string& right, const std::string& goal) {
        std::printf("    %-38s %14s %14s  %s\n", figure, left.c_str(), right.c_str(), goal.c_str());
    };
    auto received = [](const Run& run) { return Format("%d/%d", run.fit.frames, run.wellFormed); };
    std::printf("  %-40s %14s %14s\n", Format("%d ms, %.0f s each", periodMs, seconds).c_str(), "emulator",
                "bare sender");
    row("frames received / well-formed", received(emulator), received(bare), "");
    row("period from the long-run rate, ms", Format("%.5f", e.periodMs), Format("%.5f", b.periodMs), "");
    row("its error against the set period, %", Format("%.4f", e.errorPercent), Format("%.4f", b.errorPercent),
        Format("(within 0.1 %%: %s)", Verdict(e.rateMet())));
    row("frames lost", Format("%ld", e.lost), Format("%ld", b.lost), Format("(none: %s)", Verdict(e.noneLost())));
    row("p99 |arrival - fitted grid|, ms", Format("%.3f", e.p99DeviationMs), Format("%.3f", b.p99DeviationMs), "");
    std::printf("\n");
}

}  // namespace

void MeasureZelm1Period(Bench& bench)
{
    std::printf("ZELM-1 period: the headless emulator, then a bare sender on absolute deadlines, one after the "
                "other\n");
    for (const auto& [periodMs, fullSeconds] : {std::pair{1, 30}, {10, 30}, {150, 10}}) {
        const double seconds = bench.seconds(fullSeconds);
        const Run emulator = emulatorRun(periodMs, seconds);
        const Run bare = bareRun(periodMs, seconds);
        print(periodMs, seconds, emulator, bare);
        const PeriodFit& e = emulator.fit;
        const std::string at = Format("ZELM-1 %d ms: ", periodMs);
        bench.goal(at + "rate error", Format("%.4f %%", e.errorPercent), "within 0.1 %", e.rateMet());
        bench.goal(at + "frames lost", Format("%ld", e.lost), "none", e.noneLost());
        bench.goal(at + "frames well-formed", Format("%d/%d", emulator.wellFormed, e.frames), "all",
                   e.frames > 0 && emulator.wellFormed == e.frames);
    }
}

}  // namespace dravilo::test
