// ZELM-2: a host asks for the weight and waits for the 20-byte frame, 5000
// times in lockstep, of the emulator (with its window, offscreen) and of a
// bare responder on the same kind of pseudo-terminal; then of the headless
// emulator on its virtual port and on a TCP line, side by side.

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "parts.h"

namespace dravilo::test {

namespace {

struct Latency {
    double p50, p99, max;  // microseconds
    int failures;
};

// Up to n bytes from the host's end of a line, waiting at most timeoutMs.
int readReply(int fd, int n, int timeoutMs)
{
    const auto start = Clock::now();
    int got = 0;
    char buffer[64];
    while (got < n && MsSince(start) < timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            break;
        const ssize_t r = ::read(fd, buffer, std::min<size_t>(sizeof buffer, size_t(n - got)));
        if (r <= 0)
            break;
        got += int(r);
    }
    return got;
}

Latency lockstep(int fd, int requests, int replyBytes)
{
    std::vector<double> us;
    int failures = 0;
    const char request = 0x0A;
    for (int i = 0; i < requests; ++i) {
        ThrowIfStopped();
        const auto start = Clock::now();
        if (::write(fd, &request, 1) != 1 || readReply(fd, replyBytes, 1000) != replyBytes)
            ++failures;
        us.push_back(MsSince(start) * 1000);
    }
    return {Percentile(us, 50), Percentile(us, 99), *std::max_element(us.begin(), us.end()), failures};
}

// Asks for the status until it comes: the emulator's start-up is over.
void waitUntilServing(int fd)
{
    const char status = 0x0E;
    for (int i = 0; i < 100; ++i)
        if (::write(fd, &status, 1) == 1 && readReply(fd, 4, 100) == 4)
            break;
    readReply(fd, 1 << 20, 300);
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
    return lockstep(pty.masterFd(), 5000, 20);
}

// The headless emulator with `line` (--virtual-port or --tcp) and a host
// opening it with `open`, tried until it opens.
template <class Open>
Latency headlessLatency(const QStringList& line, Open open)
{
    QTemporaryDir folder;
    EmulatorProcess emulator;
    emulator.setStandardOutputFile(QProcess::nullDevice());
    emulator.setStandardErrorFile(QProcess::nullDevice());
    emulator.launch(QStringList{"--headless", "--settings-dir", folder.path() + "/settings"} + line);
    int fd = -1;
    for (int i = 0; i < 200 && fd < 0; ++i) {
        ThrowIfStopped();
        fd = open();
        if (fd < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (fd < 0)
        return {NAN, NAN, NAN, 5000};
    waitUntilServing(fd);
    const Latency latency = lockstep(fd, 5000, 20);
    ::close(fd);
    return latency;
}

Latency virtualPortLatency()
{
    QTemporaryDir folder;
    const QByteArray link = (folder.path() + "/scale").toLocal8Bit();
    return headlessLatency({"--virtual-port", QString::fromLocal8Bit(link)}, [&link] {
        const int fd = ::open(link.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios mode{};
        if (fd >= 0 && ::tcgetattr(fd, &mode) == 0) {
            ::cfmakeraw(&mode);
            ::tcsetattr(fd, TCSANOW, &mode);
        }
        return fd;
    });
}

Latency tcpLatency()
{
    // A port the system has just handed out, free for the emulator to take.
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(probe);
    return headlessLatency({"--tcp", QStringLiteral("127.0.0.1:%1").arg(ntohs(address.sin_port))}, [address] {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            return fd;
        ::close(fd);
        return -1;
    });
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
    return lockstep(pty.masterFd(), 5000, 20);
}

}  // namespace

void MeasureZelm2Latency(Bench& bench)
{
    std::printf("ZELM-2 weight requests, 5000 in lockstep (microseconds)\n");
    const Latency emulator = emulatorLatency();
    const Latency bare = bareLatency();
    const auto row = [](const char* name, const Latency& l) {
        std::printf("  %-22s %9.1f %9.1f %9.1f %9d\n", name, l.p50, l.p99, l.max, l.failures);
    };
    std::printf("  %-22s %9s %9s %9s %9s\n", "", "p50", "p99", "max", "lost");
    row("emulator", emulator);
    row("bare responder", bare);
    const double ratio = emulator.p99 / bare.p99;
    const bool met = ratio <= 1.5 && emulator.failures == 0;
    std::printf("  p99 ratio %.2f (goal <= 1.5, none lost: %s)\n", ratio, Verdict(met));
    bench.goal("ZELM-2 p99 emulator / bare", Format("%.2f x", ratio), "<= 1.5 x", met);
    const Latency virtualPort = virtualPortLatency();
    const Latency tcp = tcpLatency();
    row("headless, virtual port", virtualPort);
    row("headless, --tcp", tcp);
    std::printf("  p99 over TCP / over the virtual port %.2f\n\n", tcp.p99 / virtualPort.p99);
}

}  // namespace dravilo::test
