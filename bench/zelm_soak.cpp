// Soak: one emulator process for the given minutes, in rounds of a minute.
// Each round ZELM-1 at 1 ms with a host reading, then ZELM-2 under a flood
// of weight requests, then the device vanishing and coming back. Prints
// resident memory at start, after the first round and at the end (growth
// counts from the first round: by then every path has run once), frames
// lost, and the time to serve again after the device returns.

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

#include "bench.h"
#include "control_socket.h"
#include "process_usage.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

double secondsSince(Clock::time_point start) { return MsSince(start) / 1000; }

struct Totals {
    long zelm1Frames = 0, zelm1Lost = 0, zelm1Malformed = 0;
    long requests = 0, repliesLost = 0, repliesMalformed = 0;
    double worstReturnS = 0;
    int returnsMissed = 0;
};

bool isZelm1Line(const QByteArray& line)
{
    return line.size() == 13 && line.startsWith("WW") && line.endsWith("kg\r\n");
}

// What has arrived on the host's end within 50 ms, without waiting for more.
QByteArray readArrived(const PtyPair& pty)
{
    pollfd ready{pty.masterFd(), POLLIN, 0};
    char buffer[4096];
    if (::poll(&ready, 1, 50) <= 0 || !(ready.revents & POLLIN))
        return {};
    const ssize_t n = ::read(pty.masterFd(), buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

// ZELM-1 at 1 ms for `seconds`: the frames that came, and those the time
// between the first and the last says should have come besides.
void readZelm1(PtyPair& pty, double seconds, Totals& totals)
{
    pty.readFor(1000);  // the switch settles
    QByteArray pending = pty.read(13, 1000);
    pending.remove(0, pending.indexOf('\n') + 1);  // whole lines from here on
    long frames = 0;
    Clock::time_point first, last;
    const auto start = Clock::now();
    while (secondsSince(start) < seconds) {
        pending += readArrived(pty);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            last = Clock::now();
            if (frames++ == 0)
                first = last;
            totals.zelm1Malformed += !isZelm1Line(pending.left(end + 1));
            pending.remove(0, end + 1);
        }
    }
    const double spanMs = std::chrono::duration<double, std::milli>(last - first).count();
    totals.zelm1Frames += frames;
    totals.zelm1Lost += frames ? std::max(0L, std::lround(spanMs) + 1 - frames) : 0;
}

// ZELM-2 for `seconds`: weight requests as fast as the emulator answers.
// It reads all that waits and answers the first byte, so each request
// waits for its 20-byte frame before the next goes.
void floodZelm2(PtyPair& pty, double seconds, Totals& totals)
{
    constexpr int kFrame = 20;
    pty.readFor(300);
    const QByteArray request(1, 0x0A);
    const auto start = Clock::now();
    while (secondsSince(start) < seconds) {
        pty.write(request);
        const QByteArray reply = pty.read(kFrame, 1000);
        ++totals.requests;
        totals.repliesLost += reply.size() != kFrame;
        totals.repliesMalformed += reply.size() == kFrame && !reply.endsWith("\r\n");
    }
}

// Closes the host's end, lets the emulator try the dead line for a while,
// then links COM2 to a new pseudo-terminal: the seconds until it answers.
double vanishAndReturn(std::unique_ptr<PtyPair>& pty, const QString& programFiles)
{
    pty->closeMaster();
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    pty = std::make_unique<PtyPair>();
    LinkPort(programFiles, 2, *pty);
    const auto back = Clock::now();
    while (secondsSince(back) < 10) {
        pty->write(QByteArray(1, 0x0E));
        if (pty->read(4, 50).size() == 4) {
            const double seconds = secondsSince(back);
            pty->readFor(300);  // answers to the requests that queued meanwhile
            return seconds;
        }
    }
    return -1;
}

void soak(int minutes)
{
    auto pty = std::make_unique<PtyPair>();
    EmulatorProcess emulator;
    const std::string socket = emulator.programFiles().toStdString() + "/control";
    LinkPort(emulator.programFiles(), 2, *pty);
    StoreZelm1(emulator, 1);
    emulator.setProcessChannelMode(QProcess::ForwardedChannels);
    emulator.launch({"--control", QString::fromStdString(socket)});
    ControlSocket control(socket);
    pty->read(13, 10000);
    pty->readFor(1000);
    const double startMb = ProcessResidentMb(emulator.pid());

    // A minute a round: 27 s of each protocol, the rest for the device.
    Totals totals;
    double warmMb = 0;
    for (int round = 0; round < minutes; ++round) {
        control.command("type zelm1");
        readZelm1(*pty, 27, totals);
        control.command("type zelm2");
        floodZelm2(*pty, 27, totals);
        const double back = vanishAndReturn(pty, emulator.programFiles());
        if (back < 0)
            ++totals.returnsMissed;
        totals.worstReturnS = std::max(totals.worstReturnS, back);
        if (round == 0)
            warmMb = ProcessResidentMb(emulator.pid());
        std::printf("round %d of %d: %.1f MB resident\n", round + 1, minutes, ProcessResidentMb(emulator.pid()));
        std::fflush(stdout);
    }
    const double endMb = ProcessResidentMb(emulator.pid());

    const bool memoryMet = endMb - warmMb < 1;
    const bool zelm1Met = totals.zelm1Lost == 0 && totals.zelm1Malformed == 0;
    const bool zelm2Met = totals.repliesLost == 0 && totals.repliesMalformed == 0;
    const bool returnMet = totals.returnsMissed == 0 && totals.worstReturnS < 2;
    std::printf("\nSoak, %d min: ZELM-1 at 1 ms, ZELM-2 request flood, the device gone and back, %d times\n",
                minutes, minutes);
    std::printf("  resident memory, start / first round / end   %.1f / %.1f / %.1f MB, growth %.2f MB "
                "(target < 1 MB: %s)\n",
                startMb, warmMb, endMb, endMb - warmMb, Verdict(memoryMet));
    std::printf("  ZELM-1 frames received / lost / malformed   %ld / %ld / %ld (target none lost: %s)\n",
                totals.zelm1Frames, totals.zelm1Lost, totals.zelm1Malformed, Verdict(zelm1Met));
    std::printf("  ZELM-2 requests / replies lost / malformed  %ld / %ld / %ld (target none lost: %s)\n",
                totals.requests, totals.repliesLost, totals.repliesMalformed, Verdict(zelm2Met));
    std::printf("  serving again after the device returns: at worst %.2f s, %d times not within 10 s "
                "(target < 2 s: %s)\n",
                totals.worstReturnS, totals.returnsMissed, Verdict(returnMet));
}

}  // namespace

int main(int argc, char** argv)
{
    // Caught, so that the emulator is stopped and its folder removed.
    try {
        soak(argc > 1 ? std::max(1, std::atoi(argv[1])) : 10);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "The soak ended early: %s\n", e.what());
        return 1;
    }
    return 0;
}
