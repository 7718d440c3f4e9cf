// ZELM-2: a host asks for the weight and waits for the 20-byte frame, 5000
// times in lockstep, of the emulator (with its window, offscreen) and of a
// bare responder on the same kind of pseudo-terminal.

#include <algorithm>
#include <cstdio>
#include <thread>
#include <unistd.h>

#include "parts.h"

namespace dravilo::test {

namespace {

struct Latency {
    double p50, p99, max;  // microseconds
    int failures;
};

Latency lockstep(PtyPair& pty, int requests, int replyBytes)
{
    std::vector<double> us;
    int failures = 0;
    const QByteArray request(1, 0x0A);
    for (int i = 0; i < requests; ++i) {
        ThrowIfStopped();
        const auto start = Clock::now();
        pty.write(request);
        if (pty.read(replyBytes, 1000).size() != replyBytes)
            ++failures;
        us.push_back(MsSince(start) * 1000);
    }
    return {Percentile(us, 50), Percentile(us, 99), *std::max_element(us.begin(), us.end()), failures};
}

Latency emulatorLatency()
{
    PtyPair pty;
    EmulatorProcess emulator;
    LaunchOnPty(emulator, pty, {});
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
    struct Join {  // also when the run is stopped midway
        PtyPair& pty;
        std::thread& responder;
        ~Join()
        {
            pty.closeMaster();  // the responder's read fails and it ends
            responder.join();
        }
    } join{pty, responder};
    return lockstep(pty, 5000, 20);
}

}  // namespace

void MeasureZelm2Latency(Bench& bench)
{
    std::printf("ZELM-2 weight requests, 5000 in lockstep (microseconds)\n");
    const Latency emulator = emulatorLatency();
    const Latency bare = bareLatency();
    std::printf("  %-16s %9s %9s %9s %9s\n", "", "p50", "p99", "max", "lost");
    std::printf("  %-16s %9.1f %9.1f %9.1f %9d\n", "emulator", emulator.p50, emulator.p99, emulator.max,
                emulator.failures);
    std::printf("  %-16s %9.1f %9.1f %9.1f %9d\n", "bare responder", bare.p50, bare.p99, bare.max, bare.failures);
    const double ratio = emulator.p99 / bare.p99;
    const bool met = ratio <= 1.5 && emulator.failures == 0;
    std::printf("  p99 ratio %.2f (goal <= 1.5, none lost: %s)\n\n", ratio, Verdict(met));
    bench.goal("ZELM-2 p99 emulator / bare", Format("%.2f x", ratio), "<= 1.5 x", met);
}

}  // namespace dravilo::test
