// Many emulators at once, as a build server runs one per host test: 100
// headless ZELM-1 at 150 ms, then 20 with their windows (offscreen) for
// comparison, each with a program folder and a pseudo-terminal of its own
// and the host reading every line. Their total CPU as a share of one core,
// and their total memory: the sum of RSS counts each shared library once per
// process, the sum of PSS splits it among them, and is what they really take.

#include <QFile>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <sys/resource.h>

#include "line_log.h"
#include "parts.h"
#include "process_usage.h"

namespace dravilo::test {

namespace {

// The benchmark holds four descriptors an emulator (the two ends of its
// pseudo-terminal, the pipe to its standard input, its process descriptor);
// a soft limit that leaves less than twice that is raised.
void allowDescriptorsFor(int emulators)
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    const rlim_t wanted = 64 + 8 * rlim_t(emulators);
    if (limit.rlim_cur < wanted) {
        limit.rlim_cur = std::min(wanted, limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Each emulator takes a pseudo-terminal from the kernel's kernel.pty.max,
// which every user of the machine shares.
void checkPseudoTerminalsFor(int emulators)
{
    auto count = [](const char* name) {
        QFile file(QStringLiteral("/proc/sys/kernel/pty/") + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
    };
    const int left = count("max") - count("nr");
    if (left < emulators + 16)
        throw std::runtime_error(Format("%d pseudo-terminals free for %d emulators: raise kernel.pty.max", left,
                                        emulators));
}

struct Member {
    PtyPair pty;
    LineLog log{pty.masterFd()};
    EmulatorProcess emulator;
};

// Started one after the other, stopped all at once.
class Fleet {
public:
    Fleet(int count, const QStringList& arguments)
    {
        allowDescriptorsFor(count);
        checkPseudoTerminalsFor(count);
        for (int i = 0; i < count; ++i) {
            Member& member = *members.emplace_back(std::make_unique<Member>());
            StoreZelm1(member.emulator, 150);
            LaunchOnPty(member.emulator, member.pty, arguments);
        }
    }
    ~Fleet()
    {
        for (const auto& member : members)
            member->emulator.terminate();
        for (const auto& member : members)
            member->emulator.waitForFinished(10000);
    }

    std::vector<std::unique_ptr<Member>> members;
};

struct Figures {
    int count, sending = 0;
    long frames = 0;
    double seconds, corePercent = NAN, rssMb = 0, pssMb = 0;
};

double totalCpuSeconds(const Fleet& fleet)
{
    double seconds = 0;
    for (const auto& member : fleet.members)
        seconds += ThreadsCpuSeconds(member->emulator.pid());
    return seconds;
}

Figures measure(int count, const QStringList& arguments, double seconds)
{
    const Fleet fleet(count, arguments);
    std::vector<LineLog*> logs;
    for (const auto& member : fleet.members)
        logs.push_back(&member->log);
    Settle(logs, 60);  // two cores start a hundred in some seconds
    Figures f{.count = count, .seconds = seconds};
    const double cpuBefore = totalCpuSeconds(fleet);
    ReadLines(logs, seconds);
    f.corePercent = 100 * (totalCpuSeconds(fleet) - cpuBefore) / seconds;
    for (const auto& member : fleet.members) {
        f.sending += member->log.frames() > 0;
        f.frames += member->log.frames();
        f.rssMb += ProcessResidentMb(member->emulator.pid());
        f.pssMb += ProcessSizeMb(member->emulator.pid(), "smaps_rollup", "Pss:");
    }
    return f;
}

void print(const char* what, const Figures& f)
{
    std::printf("  %3d %-18s %4d sending, %6ld/%-6.0f frames, CPU %6.2f %% of a core, RSS %7.1f MB, PSS %7.1f MB\n",
                f.count, what, f.sending, f.frames, f.count * f.seconds * 1000 / 150, f.corePercent, f.rssMb,
                f.pssMb);
}

}  // namespace

void MeasureManyEmulators(Bench& bench)
{
    const double seconds = bench.seconds(20);
    std::printf("Many emulators at once, ZELM-1 at 150 ms, %.0f s, a host reading each line\n", seconds);
    const Figures headless = measure(100, {"--headless"}, seconds);
    print("headless", headless);
    const Figures windowed = measure(20, {}, seconds);
    print("with their windows", windowed);
    const bool cpuMet = headless.sending == headless.count && headless.corePercent < 20;
    const bool memoryMet = headless.sending == headless.count && headless.pssMb < 1500;
    std::printf("  100 headless within a fifth of a core: %s; within 1.5 GB (PSS): %s\n\n", Verdict(cpuMet),
                Verdict(memoryMet));
    bench.goal("100 headless: CPU", Format("%.2f %%", headless.corePercent), "< 20 % of a core", cpuMet);
    bench.goal("100 headless: memory (PSS)", Format("%.0f MB", headless.pssMb), "< 1500 MB", memoryMet);
}

}  // namespace dravilo::test
