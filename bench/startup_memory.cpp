// Start-up and memory, headless beside the window (offscreen): the time
// from exec to the first whole ZELM-1 line, 10 ms stored, and the peak
// resident memory after a second of serving; starts of the two alternate.

#include <cstdio>

#include "parts.h"
#include "process_usage.h"

namespace dravilo::test {

namespace {

constexpr int kStarts = 5;

struct Starts {
    std::vector<double> ms, peakMb;
    int silent = 0;  // starts with no line within 10 s

    double median() const { return Percentile(ms, 50); }
    double peak() const { return Percentile(peakMb, 100); }
};

void startOnce(const QStringList& arguments, Starts& starts)
{
    PtyPair pty;
    EmulatorProcess emulator;
    StoreZelm1(emulator, 10);
    LaunchOnPty(emulator, pty, arguments);
    QByteArray line;
    while (!line.endsWith('\n')) {
        ThrowIfStopped();
        const QByteArray byte = pty.read(1, 10000);
        if (byte.isEmpty()) {
            ++starts.silent;
            return;
        }
        line += byte;
    }
    starts.ms.push_back(MsSince(emulator.launchedAt()));
    pty.readFor(1000);
    starts.peakMb.push_back(ProcessPeakMemoryMb(emulator.pid()));
}

void print(Bench& bench, const char* face, const Starts& s)
{
    const bool startMet = s.silent == 0 && s.median() < 500;
    std::printf("  %-16s %10.1f %10.1f %8d %10.1f %10.1f  (median < 500 ms: %s, peak < 100 MB: %s)\n", face,
                s.median(), Percentile(s.ms, 100), s.silent, Percentile(s.peakMb, 50), s.peak(), Verdict(startMet),
                Verdict(s.peak() < 100));
    bench.goal(Format("start-up %s, median", face), Format("%.1f ms", s.median()), "< 500 ms", startMet);
    bench.goal(Format("peak memory %s", face), Format("%.1f MB", s.peak()), "< 100 MB", s.peak() < 100);
}

}  // namespace

void MeasureStartupAndMemory(Bench& bench)
{
    Starts headless, window;
    for (int i = 0; i < kStarts; ++i) {
        startOnce({"--headless"}, headless);
        startOnce({}, window);
    }
    std::printf("Start-up, exec to the first ZELM-1 line, and peak resident memory (VmHWM), %d starts each\n",
                kStarts);
    std::printf("  %-16s %10s %10s %8s %10s %10s\n", "", "median ms", "max ms", "no line", "median MB", "max MB");
    print(bench, "headless", headless);
    print(bench, "with its window", window);
    std::printf("\n");
}

}  // namespace dravilo::test
