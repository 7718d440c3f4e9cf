// CPU per ZELM-1 frame of the headless emulator beside a plain QTimer
// sender, at 150, 10 and 1 ms; at 150 ms also the emulator with its window.
// They run at once, each on a pseudo-terminal of its own with the host
// reading every line: each one's CPU is its own however they share the cores.

#include <cstdio>
#include <optional>
#include <stdexcept>

#include "line_log.h"
#include "parts.h"

namespace dravilo::test {

namespace {

// The plain sender in a process of its own, ended with the run.
class PlainSender : public QProcess {
public:
    PlainSender(const PtyPair& pty, int periodMs)
    {
        start(PLAIN_SENDER, {pty.slavePath(), QString::number(periodMs)});
        if (!waitForStarted(10000))
            throw std::runtime_error("the plain sender did not start");
    }
    ~PlainSender() override
    {
        terminate();
        waitForFinished(10000);
    }
};

// A sender's line and what the sender spent on it while it was read.
struct Line {
    PtyPair pty;
    LineLog log{pty.masterFd()};
    pid_t pid = 0;
    double cpuSeconds = NAN;

    double usPerFrame() const { return cpuSeconds * 1e6 / log.frames(); }
    double corePercent(double seconds) const { return 100 * cpuSeconds / seconds; }
};

void measure(const std::vector<Line*>& lines, double seconds)
{
    std::vector<LineLog*> logs;
    for (Line* line : lines)
        logs.push_back(&line->log);
    Settle(logs);
    for (Line* line : lines)
        line->cpuSeconds = -ThreadsCpuSeconds(line->pid);
    ReadLines(logs, seconds);
    for (Line* line : lines)
        line->cpuSeconds += ThreadsCpuSeconds(line->pid);
}

void measureAt(Bench& bench, int periodMs, double seconds, bool withWindow)
{
    Line emulatorLine, plainLine, windowLine;
    EmulatorProcess emulator;
    StoreZelm1(emulator, periodMs);
    LaunchOnPty(emulator, emulatorLine.pty, {"--headless"});
    emulatorLine.pid = emulator.pid();
    PlainSender plain(plainLine.pty, periodMs);
    plainLine.pid = pid_t(plain.processId());
    std::vector<Line*> lines{&emulatorLine, &plainLine};
    std::optional<EmulatorProcess> windowed;
    if (withWindow) {
        StoreZelm1(windowed.emplace(), periodMs);
        LaunchOnPty(*windowed, windowLine.pty, {});
        windowLine.pid = windowed->pid();
        lines.push_back(&windowLine);
    }
    measure(lines, seconds);

    auto print = [seconds](const char* period, const char* sender, const Line& line) {
        std::printf("  %6s  %-26s %8d %10.1f %12.3f\n", period, sender, line.log.frames(), line.usPerFrame(),
                    line.corePercent(seconds));
    };
    print(Format("%d ms", periodMs).c_str(), "headless emulator", emulatorLine);
    print("", "plain QTimer sender", plainLine);
    if (withWindow)
        print("", "emulator with its window", windowLine);
    const double ratio = emulatorLine.usPerFrame() / plainLine.usPerFrame();
    std::printf("%10s headless emulator / plain: %.2f x (within 2 x: %s)\n", "", ratio, Verdict(ratio <= 2));
    bench.goal(Format("CPU per frame at %d ms, emulator / plain", periodMs), Format("%.2f x", ratio),
               "within 2 x", ratio <= 2);
    if (periodMs == 150)
        bench.goal("CPU of the headless emulator at 150 ms", Format("%.3f %%", emulatorLine.corePercent(seconds)),
                   "< 2 % of a core", emulatorLine.corePercent(seconds) < 2);
}

}  // namespace

void MeasureCpuPerFrame(Bench& bench)
{
    const double seconds = bench.seconds(20);
    std::printf("CPU per ZELM-1 frame over %.0f s; at each period the emulator and a plain QTimer sender run at "
                "once\n",
                seconds);
    std::printf("  %6s  %-26s %8s %10s %12s\n", "period", "sender", "frames", "us/frame", "% of a core");
    for (const int periodMs : {150, 10, 1})
        measureAt(bench, periodMs, seconds, periodMs == 150);
    std::printf("\n");
}

}  // namespace dravilo::test
