// Line benchmark: what a host program sees of the emulator's timing.
//  - ZELM-2 reply latency of the real binary against a bare responder
//  - ZELM-1 period accuracy at 150 ms and 10 ms
//  - CPU time and peak memory of the emulator during the 150 ms run
//  - start-up: from exec to the first ZELM-1 line
// Each on a pseudo-terminal with a host in lockstep on the master end.
// Besides the line, the time of one save of the settings file.

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/settings_file.h"
#include "fake_platform.h"
#include "fake_port.h"
#include "process_usage.h"
#include "pty_pair.h"
#include "ui/qt/emulator.h"

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

// The emulator in a process of its own, its port linked to the pty; `stored`
// changes the defaults into the settings file it finds at start.
class EmulatorProcess {
public:
    EmulatorProcess(const PtyPair& pty, std::vector<std::string> args,
                    const std::function<void(SettingsRecord&)>& stored = {})
    {
        LinkPort(programFiles_.path(), 2, pty);
        if (stored)
            storeSettings(stored);
        const std::string folder = programFiles_.path().toStdString();
        startedAt_ = Clock::now();
        pid_ = fork();
        if (pid_ == 0) {
            setenv("ProgramFiles", folder.c_str(), 1);
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~EmulatorProcess()
    {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

    double cpuSeconds() const { return ProcessCpuSeconds(pid_); }
    double peakMemoryMb() const { return ProcessPeakMemoryMb(pid_); }
    Clock::time_point startedAt() const { return startedAt_; }

private:
    void storeSettings(const std::function<void(SettingsRecord&)>& change)
    {
        const QString folder = programFiles_.path() + "/Dravilo v.2.00/";
        SettingsRecord record;
        DefaultSettings(record, folder);
        change(record);
        QFile file(folder + "Dravilo v.2.00.eng");
        if (!file.open(QIODevice::WriteOnly) || file.write(EncodeSettings(record)) < 0)
            std::fprintf(stderr, "cannot store the settings file\n");
    }

    QTemporaryDir programFiles_;
    pid_t pid_ = -1;
    Clock::time_point startedAt_;
};

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

struct PeriodRun {
    int frames = 0, complete = 0;
    double meanMs = 0, p99DeviationMs = 0, cpuPercent = 0, peakMb = 0;
};

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
    std::vector<double> periods() const
    {
        std::vector<double> out;
        for (size_t i = 1; i < stampsMs.size(); ++i)
            out.push_back(stampsMs[i] - stampsMs[i - 1]);
        return out;
    }
};

double p99Deviation(const std::vector<double>& periods, int periodMs)
{
    std::vector<double> deviations;
    for (double p : periods)
        deviations.push_back(std::fabs(p - periodMs));
    return percentile(deviations, 99);
}

PeriodRun periodRun(const std::string& self, int periodMs, int seconds)
{
    PtyPair pty;
    EmulatorProcess emulator(pty, {self, "--zelm1-emulator", std::to_string(periodMs)});
    pty.read(13, 10000);
    // The period change and the start-up sway settle; then start on a line
    // boundary, so the first frame counted is a whole one.
    QByteArray settled = pty.readFor(1000);
    while (!settled.endsWith('\n')) {
        settled = pty.read(1, 1000);
        if (settled.isEmpty())
            break;  // the line is silent: the run finds that out below
    }

    Line line{pty.masterFd()};
    PeriodRun run;
    const double cpuBefore = emulator.cpuSeconds();
    const auto start = Clock::now();
    while (since(start) < seconds * 1e6) {
        pollfd ready{line.fd, POLLIN, 0};
        if (::poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN))
            line.take(start);
    }
    const double elapsed = since(start) / 1e6;
    run.cpuPercent = 100.0 * (emulator.cpuSeconds() - cpuBefore) / elapsed;
    run.peakMb = emulator.peakMemoryMb();

    run.frames = line.frames;
    run.complete = line.complete;
    const std::vector<double> periods = line.periods();
    if (!periods.empty())
        run.meanMs = std::accumulate(periods.begin(), periods.end(), 0.0) / double(periods.size());
    run.p99DeviationMs = p99Deviation(periods, periodMs);
    return run;
}

void printPeriod(int periodMs, int seconds, const PeriodRun& r)
{
    const double meanError = 100.0 * std::fabs(r.meanMs - periodMs) / periodMs;
    std::printf("ZELM-1 period %d ms for %d s: %d frames, %d complete (%s)\n", periodMs, seconds, r.frames,
                r.complete, verdict(r.frames > 0 && r.complete == r.frames));
    std::printf("  mean period %.3f ms, off by %.3f %% (target < 0.5 %%: %s)\n", r.meanMs, meanError,
                verdict(meanError < 0.5));
    std::printf("  p99 |period - setting| %.3f ms (target < 2 ms: %s)\n", r.p99DeviationMs,
                verdict(r.p99DeviationMs < 2));
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

// The emulator as the benchmark's child: ZELM-1 selected, the period set.
int runZelm1Emulator(int argc, char** argv, int periodMs)
{
    QApplication app(argc, argv);
    Emulator emulator;
    emulator.start();
    Form1& form = emulator.program().form;
    form.Option1[1].setValue(true);
    form.Text1[0].setText(QString::number(periodMs));
    form.Command4.click();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--zelm1-emulator")
        return runZelm1Emulator(argc, argv, std::atoi(argv[2]));

    const std::string self = QFile::symLinkTarget("/proc/self/exe").toStdString();
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
    std::printf("  p99 ratio %.2f (target <= 4: %s)\n\n", ratio, verdict(ratio <= 4 && emulator.failures == 0));

    const PeriodRun slow = periodRun(self, 150, 30);
    printPeriod(150, 30, slow);
    std::printf("  emulator CPU %.2f %% of one core (target < 2 %%: %s), peak memory %.1f MB (target < 100 MB: %s)\n\n",
                slow.cpuPercent, verdict(slow.cpuPercent < 2), slow.peakMb, verdict(slow.peakMb < 100));
    const PeriodRun fast = periodRun(self, 10, 10);
    printPeriod(10, 10, fast);

    const Runs starts = startups(binary, 10);
    std::printf("\nStart-up, exec to the first ZELM-1 line at 10 ms, 10 starts: median %.1f ms, max %.1f ms, "
                "%d without a line (target median < 500 ms: %s)\n",
                percentile(starts.ms, 50), percentile(starts.ms, 100), starts.failures, verdict(starts.met(500)));

    const Runs saves = settingsSaves(200);
    std::printf("Settings save, 200 saves of the 9002-byte file: median %.3f ms, p99 %.3f ms, %d failed "
                "(target median < 5 ms: %s)\n",
                percentile(saves.ms, 50), percentile(saves.ms, 99), saves.failures, verdict(saves.met(5)));

    // One line per target, for a reader who only wants the verdicts.
    auto row = [](const char* figure, const std::string& measured, const char* target, bool met) {
        std::printf("  %-34s %14s  %-12s %s\n", figure, measured.c_str(), target, verdict(met));
    };
    auto num = [](const char* format, double value) {
        char text[32];
        std::snprintf(text, sizeof text, format, value);
        return std::string(text);
    };
    auto meanOff = [](const PeriodRun& r, int periodMs) { return 100.0 * std::fabs(r.meanMs - periodMs) / periodMs; };
    auto allComplete = [](const PeriodRun& r) { return r.frames > 0 && r.complete == r.frames; };
    std::printf("\nSummary\n");
    row("ZELM-2 p99 emulator / bare", num("%.2f x", ratio), "<= 4 x", ratio <= 4 && emulator.failures == 0);
    row("ZELM-1 150 ms: mean period off by", num("%.3f %%", meanOff(slow, 150)), "< 0.5 %", meanOff(slow, 150) < 0.5);
    row("ZELM-1 150 ms: p99 |deviation|", num("%.3f ms", slow.p99DeviationMs), "< 2 ms", slow.p99DeviationMs < 2);
    row("ZELM-1 150 ms: frames well-formed", std::to_string(slow.complete) + "/" + std::to_string(slow.frames),
        "all", allComplete(slow));
    row("ZELM-1 10 ms: mean period off by", num("%.3f %%", meanOff(fast, 10)), "< 0.5 %", meanOff(fast, 10) < 0.5);
    row("ZELM-1 10 ms: p99 |deviation|", num("%.3f ms", fast.p99DeviationMs), "< 2 ms", fast.p99DeviationMs < 2);
    row("ZELM-1 10 ms: frames well-formed", std::to_string(fast.complete) + "/" + std::to_string(fast.frames),
        "all", allComplete(fast));
    row("emulator CPU at 150 ms", num("%.2f %%", slow.cpuPercent), "< 2 %", slow.cpuPercent < 2);
    row("emulator peak memory (VmHWM)", num("%.1f MB", slow.peakMb), "< 100 MB", slow.peakMb < 100);
    row("start-up to first line, median", num("%.1f ms", percentile(starts.ms, 50)), "< 500 ms", starts.met(500));
    row("settings save, median", num("%.3f ms", percentile(saves.ms, 50)), "< 5 ms", saves.met(5));
    return 0;
}
