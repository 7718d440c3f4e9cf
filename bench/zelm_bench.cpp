// Line benchmark: what a host program sees of the emulator's timing.
//  - ZELM-2 reply latency of the real binary against a bare responder
//  - ZELM-1 period accuracy at 1, 10 and 150 ms against a bare sender on
//    absolute deadlines
//  - CPU time and peak memory of the emulator during the 150 ms run
//  - start-up: from exec to the first ZELM-1 line
// Each on a pseudo-terminal with a host in lockstep on the master end.
// Besides the line, the time of one save of the settings file.

#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <poll.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "program/program.h"
#include "app/settings_file.h"
#include "program/settings_record.h"
#include "emulator_process.h"
#include "fake_platform.h"
#include "fake_port.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const size_t i = std::min(values.size() - 1, size_t(std::ceil(p / 100.0 * values.size())) - 1);
    return values[i];
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

struct Latency {
    double p50, p99, max;
    int failures;
};

Latency lockstep(PtyPair& pty, int requests, int replyBytes)
{
    std::vector<double> us;
    int failures = 0;
    const QByteArray request(1, 0x0A);
    for (int i = 0; i < requests; ++i) {
        const auto start = Clock::now();
        pty.write(request);
        if (pty.read(replyBytes, 1000).size() != replyBytes)
            ++failures;
        us.push_back(since(start));
    }
    return {percentile(us, 50), percentile(us, 99), *std::max_element(us.begin(), us.end()), failures};
}

Latency emulatorLatency(const std::string& binary)
{
    PtyPair pty;
    EmulatorProcess emulator(pty, {binary});
    QByteArray ready;
    for (int i = 0; i < 100 && ready.size() < 4; ++i) {
        pty.write(QByteArray(1, 0x0E));
        ready = pty.read(4, 100);
    }
    pty.readFor(300);
    return lockstep(pty, 5000, 20);
}

Latency bareLatency()
{
    PtyPair pty;
    std::thread responder([fd = pty.slaveFd()] {
        const char frame[20] = {0, 0, 0, 0, 0, 0, 4, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x0D, 0x0A};
        char byte;
        while (::read(fd, &byte, 1) == 1)
            if (::write(fd, frame, sizeof frame) != sizeof frame)
                break;
    });
    const Latency latency = lockstep(pty, 5000, 20);
    pty.closeMaster();  // the responder's read fails and it ends
    responder.join();
    return latency;
}

// "WW", the weight in the "00000.0" pattern (a sign may take the first
// digit), "kg", CR LF: a line cut short or run together fails here.
bool WellFormed(const QByteArray& frame)
{
    static const QRegularExpression line(QStringLiteral("^WW[-0-9][0-9]{4}\\.[0-9]kg\r\n$"));
    return line.match(QString::fromLatin1(frame)).hasMatch();
}

// One master end being read: its partial line and the arrival of each whole one.
struct Line {
    int fd;
    QByteArray pending;
    std::vector<double> stampsMs;
    int frames = 0, complete = 0;

    void take(Clock::time_point start)
    {
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return;
        pending.append(buffer, n);
        const double now = since(start) / 1000.0;
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray frame = pending.left(end + 1);
            pending.remove(0, end + 1);
            stampsMs.push_back(now);
            ++frames;
            if (WellFormed(frame))
                ++complete;
        }
    }
};

// Waits for the first line, lets a second go by (the emulator's start-up
// sway) and reads on to a line boundary, so the first frame counted is whole.
void settle(PtyPair& pty)
{
    pty.read(13, 10000);
    QByteArray settled = pty.readFor(1000);
    while (!settled.endsWith('\n')) {
        settled = pty.read(1, 1000);
        if (settled.isEmpty())
            break;  // the line is silent: the figures show it
    }
}

// The lines that arrive for `seconds`.
Line record(PtyPair& pty, int seconds)
{
    Line line{pty.masterFd()};
    const auto start = Clock::now();
    while (since(start) < seconds * 1e6) {
        pollfd ready{line.fd, POLLIN, 0};
        if (::poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN))
            line.take(start);
    }
    return line;
}

struct PeriodFigures {
    int frames = 0, complete = 0;
    int stalls = 0;  // gaps over 1.5 periods: the machine held the sender or the reader up
    double meanMs = NAN, meanErrorPercent = NAN, p99DeviationMs = NAN;
    bool wellFormed() const { return frames > 0 && complete == frames; }
};

PeriodFigures figuresOf(const Line& line, int periodMs)
{
    PeriodFigures f{line.frames, line.complete};
    const std::vector<double>& t = line.stampsMs;
    if (t.size() < 2)
        return f;
    f.meanMs = (t.back() - t.front()) / double(t.size() - 1);
    f.meanErrorPercent = 100.0 * std::fabs(f.meanMs - periodMs) / periodMs;
    std::vector<double> deviations;
    for (size_t i = 1; i < t.size(); ++i) {
        deviations.push_back(std::fabs(t[i] - t[i - 1] - periodMs));
        f.stalls += t[i] - t[i - 1] > 1.5 * periodMs;
    }
    f.p99DeviationMs = percentile(deviations, 99);
    return f;
}

struct EmulatorLine {
    PeriodFigures figures;
    double cpuPercent = NAN, peakMb = NAN;
};

// The real binary, ZELM-1 at `periodMs` from its settings file.
EmulatorLine emulatorLine(const std::string& binary, int periodMs, int seconds)
{
    PtyPair pty;
    EmulatorProcess emulator(pty, {binary}, [periodMs](SettingsRecord& r) {
        r.intTerminalType = 1;
        r.intSendPeriod = std::int16_t(periodMs);
    });
    EmulatorLine run;
    settle(pty);
    const double cpuBefore = emulator.cpuSeconds();
    const auto start = Clock::now();
    run.figures = figuresOf(record(pty, seconds), periodMs);
    run.cpuPercent = 100.0 * (emulator.cpuSeconds() - cpuBefore) / (since(start) / 1e6);
    run.peakMb = emulator.peakMemoryMb();
    return run;
}

// A sender with nothing else to do: the same 13 bytes at start + k × period
// of CLOCK_MONOTONIC, as evenly as this machine can time a line.
PeriodFigures bareLine(int periodMs, int seconds)
{
    PtyPair pty;
    std::atomic<bool> stop = false;
    std::thread sender([&stop, fd = pty.slaveFd(), periodMs] {
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        while (!stop) {
            next.tv_nsec += long(periodMs) * 1000000;
            next.tv_sec += next.tv_nsec / 1000000000;
            next.tv_nsec %= 1000000000;
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
            if (::write(fd, "WW00000.0kg\r\n", 13) != 13)
                break;
        }
    });
    settle(pty);
    const PeriodFigures figures = figuresOf(record(pty, seconds), periodMs);
    stop = true;
    sender.join();
    return figures;
}

struct PeriodComparison {
    int periodMs, seconds;
    EmulatorLine emulator;
    PeriodFigures bare;
    double p99Ratio() const { return emulator.figures.p99DeviationMs / bare.p99DeviationMs; }
    bool meanMet() const { return emulator.figures.meanErrorPercent < 0.2; }
    bool p99Met() const { return p99Ratio() <= 2; }
};

// The emulator's line, then the bare sender's: one after the other, so that
// neither disturbs the other.
PeriodComparison comparePeriod(const std::string& binary, int periodMs, int seconds)
{
    PeriodComparison c{periodMs, seconds};
    c.emulator = emulatorLine(binary, periodMs, seconds);
    c.bare = bareLine(periodMs, seconds);
    return c;
}

void printPeriod(const PeriodComparison& c)
{
    const PeriodFigures& e = c.emulator.figures;
    const PeriodFigures& b = c.bare;
    auto count = [](const PeriodFigures& f) { return std::to_string(f.complete) + "/" + std::to_string(f.frames); };
    std::printf("ZELM-1 period %d ms for %d s        %14s %14s\n", c.periodMs, c.seconds, "emulator", "bare sender");
    std::printf("  frames well-formed/received      %14s %14s  (%s)\n", count(e).c_str(), count(b).c_str(),
                verdict(e.wellFormed()));
    std::printf("  mean period, ms                  %14.4f %14.4f\n", e.meanMs, b.meanMs);
    std::printf("  mean period error, %%             %14.3f %14.3f  (target < 0.2 %%: %s)\n", e.meanErrorPercent,
                b.meanErrorPercent, verdict(c.meanMet()));
    std::printf("  p99 |period - setting|, ms       %14.3f %14.3f  ratio %.2f (target <= 2: %s)\n",
                e.p99DeviationMs, b.p99DeviationMs, c.p99Ratio(), verdict(c.p99Met()));
    std::printf("  gaps over 1.5 periods             %14d %14d\n", e.stalls, b.stalls);
    std::printf("  emulator CPU, %% of one core      %14.2f\n\n", c.emulator.cpuPercent);
}

// The times of the runs that succeeded, and how many did not.
struct Runs {
    std::vector<double> ms;
    int failures = 0;

    void add(std::optional<double> run)
    {
        if (run)
            ms.push_back(*run);
        else
            ++failures;
    }
    bool met(double targetMs) const { return failures == 0 && percentile(ms, 50) < targetMs; }
};

// Milliseconds from exec to the first whole line, ZELM-1 at 10 ms stored;
// nothing when no line comes within 10 s.
std::optional<double> startupMs(const std::string& binary)
{
    PtyPair pty;
    EmulatorProcess emulator(pty, {binary}, [](SettingsRecord& r) {
        r.intTerminalType = 1;
        r.intSendPeriod = 10;
    });
    QByteArray line;
    while (!line.endsWith('\n')) {
        const QByteArray byte = pty.read(1, 10000);
        if (byte.isEmpty())
            return std::nullopt;
        line += byte;
    }
    return since(emulator.startedAt()) / 1000.0;
}

// Milliseconds of one SaveSettings on a real file (read the old one, encode,
// write beside it, rename over it), each save a changed record; nothing
// when a save fails.
std::optional<double> saveMs(Program& program, int i)
{
    program.settings.lngCycleCount = i;
    const auto start = Clock::now();
    if (!SaveSettings(program))
        return std::nullopt;
    return since(start) / 1000.0;
}

Runs startups(const std::string& binary, int count)
{
    Runs runs;
    for (int i = 0; i < count; ++i)
        runs.add(startupMs(binary));
    return runs;
}

// The port and platform play no part in a save: the test doubles stand in.
Runs settingsSaves(int count)
{
    QTemporaryDir folder;
    FakePort port;
    FakePlatform platform;
    Program program(port, platform);
    program.strProgramFolder = folder.path() + "/";
    program.strSettingsFile = QStringLiteral("Dravilo v.2.00.eng");
    DefaultSettings(program.settings, program.strProgramFolder);
    Runs runs;
    for (int i = 0; i < count; ++i)
        runs.add(saveMs(program, i));
    return runs;
}

}  // namespace

int main()
{
    const std::string binary = DRAVILO_BINARY;

    std::printf("ZELM-2 weight requests, 5000 in lockstep (microseconds)\n");
    const Latency emulator = emulatorLatency(binary);
    const Latency bare = bareLatency();
    std::printf("  %-16s %9s %9s %9s %9s\n", "", "p50", "p99", "max", "lost");
    std::printf("  %-16s %9.1f %9.1f %9.1f %9d\n", "emulator", emulator.p50, emulator.p99, emulator.max,
                emulator.failures);
    std::printf("  %-16s %9.1f %9.1f %9.1f %9d\n", "bare responder", bare.p50, bare.p99, bare.max,
                bare.failures);
    const double ratio = emulator.p99 / bare.p99;
    const bool latencyMet = ratio <= 1.5 && emulator.failures == 0;
    std::printf("  p99 ratio %.2f (target <= 1.5: %s)\n\n", ratio, verdict(latencyMet));

    std::vector<PeriodComparison> periods;
    for (auto [periodMs, seconds] : {std::pair{1, 10}, {10, 10}, {150, 30}})
        printPeriod(periods.emplace_back(comparePeriod(binary, periodMs, seconds)));
    const EmulatorLine& slow = periods.back().emulator;
    std::printf("Emulator at 150 ms: CPU %.2f %% of one core (target < 2 %%: %s), peak memory %.1f MB "
                "(target < 100 MB: %s)\n",
                slow.cpuPercent, verdict(slow.cpuPercent < 2), slow.peakMb, verdict(slow.peakMb < 100));

    const Runs starts = startups(binary, 10);
    std::printf("\nStart-up, exec to the first ZELM-1 line at 10 ms, 10 starts: median %.1f ms, max %.1f ms, "
                "%d without a line (target median < 500 ms: %s)\n",
                percentile(starts.ms, 50), percentile(starts.ms, 100), starts.failures, verdict(starts.met(500)));

    const Runs saves = settingsSaves(200);
    std::printf("Settings save, 200 saves of the 9002-byte file: median %.3f ms, p99 %.3f ms, %d failed "
                "(target median < 5 ms: %s)\n",
                percentile(saves.ms, 50), percentile(saves.ms, 99), saves.failures, verdict(saves.met(5)));

    // One line per target, for a reader who only wants the verdicts.
    auto row = [](const std::string& figure, const std::string& measured, const char* target, bool met) {
        std::printf("  %-36s %14s  %-12s %s\n", figure.c_str(), measured.c_str(), target, verdict(met));
    };
    auto num = [](const char* format, double value) {
        char text[32];
        std::snprintf(text, sizeof text, format, value);
        return std::string(text);
    };
    std::printf("\nSummary\n");
    row("ZELM-2 p99 emulator / bare", num("%.2f x", ratio), "<= 1.5 x", latencyMet);
    for (const PeriodComparison& c : periods) {
        const std::string at = "ZELM-1 " + std::to_string(c.periodMs) + " ms: ";
        const PeriodFigures& e = c.emulator.figures;
        row(at + "mean period error", num("%.3f %%", e.meanErrorPercent), "< 0.2 %", c.meanMet());
        row(at + "p99 emulator / bare", num("%.2f x", c.p99Ratio()), "<= 2 x", c.p99Met());
        row(at + "frames well-formed", std::to_string(e.complete) + "/" + std::to_string(e.frames), "all",
            e.wellFormed());
    }
    row("emulator CPU at 150 ms", num("%.2f %%", slow.cpuPercent), "< 2 %", slow.cpuPercent < 2);
    row("emulator peak memory (VmHWM)", num("%.1f MB", slow.peakMb), "< 100 MB", slow.peakMb < 100);
    row("start-up to first line, median", num("%.1f ms", percentile(starts.ms, 50)), "< 500 ms", starts.met(500));
    row("settings save, median", num("%.3f ms", percentile(saves.ms, 50)), "< 5 ms", saves.met(5));
    return 0;
}
