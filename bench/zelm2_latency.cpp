// ZELM-2: a host asks for the weight and waits for the 20-byte frame, 5000
// times in lockstep, side by side request by request: the emulator with its
// window (on Xvfb where there is one), the same with the traffic panel shown
// and --log on, a plain QSerialPort responder and a bare one, each on a
// pseudo-terminal of its own, with the CPU each takes a request; then of the headless
// emulator on its virtual port and on a TCP line, side by side, and of the
// Windows build under Wine on a TCP line where scripts/build-windows made it.

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <optional>
#include <random>
#include <stdexcept>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "control_socket.h"
#include "parts.h"
#include "x_server.h"

namespace dravilo::test {

namespace {

struct Latency {
    double p50, p99, max;  // microseconds
    int failures;
    double cpuUs = NAN;  // of the responder's threads a request, where it is a process of its own
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

// One that answers on a line: the host's end of it, and the process whose
// CPU it takes (none for a thread of the benchmark's own).
struct Responder {
    int fd;
    pid_t pid = 0;
};

// One request to each responder in turn, `requests` times, in an order
// shuffled every round, so that what the machine does meanwhile weighs on
// each alike: in a fixed cycle each would always follow the same one, whose
// wake-ups and caches then tilt its times; the latencies of each, and the
// CPU a request of those that are processes of their own.
std::vector<Latency> sideBySide(const std::vector<Responder>& responders, int requests, int replyBytes)
{
    std::vector<double> cpuBefore;
    for (const Responder& r : responders)
        cpuBefore.push_back(r.pid > 0 ? ThreadsCpuSeconds(r.pid) : NAN);
    std::vector<std::vector<double>> us(responders.size());
    std::vector<int> failures(responders.size());
    const char request = 0x0A;
    std::vector<std::size_t> order(responders.size());
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 shuffler(1);
    for (int i = 0; i < requests; ++i) {
        ThrowIfStopped();
        std::shuffle(order.begin(), order.end(), shuffler);
        for (const std::size_t r : order) {
            const int fd = responders[r].fd;
            const auto start = Clock::now();
            if (::write(fd, &request, 1) != 1 || readReply(fd, replyBytes, 1000) != replyBytes)
                ++failures[r];
            us[r].push_back(MsSince(start) * 1000);
        }
    }
    std::vector<Latency> latencies;
    for (std::size_t r = 0; r < responders.size(); ++r) {
        const pid_t pid = responders[r].pid;
        latencies.push_back({Percentile(us[r], 50), Percentile(us[r], 99),
                             *std::max_element(us[r].begin(), us[r].end()), failures[r],
                             pid > 0 ? (ThreadsCpuSeconds(pid) - cpuBefore[r]) * 1e6 / requests : NAN});
    }
    return latencies;
}

Latency lockstep(int fd, int requests, int replyBytes) { return sideBySide({{fd}}, requests, replyBytes)[0]; }

// Asks for the status until it comes: the emulator's start-up is over.
void waitUntilServing(int fd)
{
    const char status = 0x0E;
    for (int i = 0; i < 100; ++i)
        if (::write(fd, &status, 1) == 1 && readReply(fd, 4, 100) == 4)
            break;
    readReply(fd, 1 << 20, 300);
}

// Asks on `pty` until `reply` comes, then lets what else comes pass.
void awaitReplies(PtyPair& pty, char request, int reply)
{
    QByteArray ready;
    for (int i = 0; i < 100 && ready.size() < reply; ++i) {
        ThrowIfStopped();
        pty.write(QByteArray(1, request));
        ready = pty.read(reply, 100);
    }
    pty.readFor(300);
}

// The emulator with its window, on the X server where there is one, with
// the pseudo-terminal as COM2 and its bytes crossing at once, as the bare
// responder's do. `watched` shows the traffic panel and turns the log on.
class WindowedOnPty {
public:
    WindowedOnPty(const XServer* x, bool watched)
    {
        const QString folder = emulator_.programFiles();
        QStringList arguments{"--line-pace", "instant", "--control", folder + "/control"};
        if (watched)
            arguments << "--log" << folder + "/traffic.log";
        if (x)
            emulator_.setProcessEnvironment(x->environmentFor(emulator_));
        LaunchOnPty(emulator_, pty_, arguments);
        if (watched) {
            const std::string answer = ControlSocket((folder + "/control").toStdString()).command("click mnu_Traffic");
            if (answer != "ok")
                throw std::runtime_error("the traffic panel was not shown: " + answer);
        }
        awaitReplies(pty_, 0x0E, 4);
    }
    Responder responder() const { return {pty_.masterFd(), pid_t(emulator_.processId())}; }

private:
    PtyPair pty_;
    EmulatorProcess emulator_;
};

// A QSerialPort and nothing else answering on the pseudo-terminal.
class PlainOnPty {
public:
    PlainOnPty()
    {
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start(PLAIN_RESPONDER, {pty_.slavePath()});
        if (!process_.waitForStarted(10000))
            throw std::runtime_error("plain_responder did not start");
        awaitReplies(pty_, 0x0A, 20);
    }
    ~PlainOnPty()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }
    Responder responder() const { return {pty_.masterFd(), pid_t(process_.processId())}; }

private:
    PtyPair pty_;
    QProcess process_;
};

// The headless emulator with `line` (--virtual-port or --tcp) and a host
// opening it with `open`, tried until it opens. A `windowsBinary` runs under
// Wine, in the Wine prefix of the Windows tests, in place of the Linux build.
template <class Open>
Latency headlessLatency(const QStringList& line, Open open, const QString& windowsBinary = {})
{
    QTemporaryDir folder;
    EmulatorProcess emulator;
    emulator.setStandardOutputFile(QProcess::nullDevice());
    emulator.setStandardErrorFile(QProcess::nullDevice());
    // At once, as the bare responder answers: the line's pace has a part of its own.
    const QStringList arguments =
        QStringList{"--headless", "--line-pace", "instant", "--settings-dir", folder.path() + "/settings"} + line;
    if (windowsBinary.isEmpty()) {
        emulator.launch(arguments);
    } else {
        QProcessEnvironment env = emulator.processEnvironment();
        env.insert("WINEPREFIX", DRAVILO_SOURCE "/build-windows/wine");
        env.insert("WINEDEBUG", "-all");
        env.insert("WINEDLLOVERRIDES", "winemenubuilder.exe,mscoree,mshtml=d");
        emulator.setProcessEnvironment(env);
        emulator.start("/usr/lib/wine/wine64", QStringList{windowsBinary} + arguments);
    }
    int fd = -1;
    for (int i = 0; i < 600 && fd < 0; ++i) {  // Wine takes a few seconds to start
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

// The unpacked zip of scripts/build-windows, if there is one.
QString windowsBinary()
{
    const QDir dist(DRAVILO_SOURCE "/dist");
    const QStringList builds = dist.entryList({"dravilo-*-windows-x64"}, QDir::Dirs);
    const QString binary = builds.isEmpty() ? QString() : dist.filePath(builds.last() + "/dravilo.exe");
    return QFileInfo::exists(binary) && QFileInfo::exists("/usr/lib/wine/wine64") ? binary : QString();
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

Latency tcpLatency(const QString& windowsBinary = {})
{
    const int port = FreeLoopbackPort();
    return headlessLatency({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port)}, [port] { return ConnectLoopback(port); },
                           windowsBinary);
}

// A thread that reads a byte and writes the frame, and nothing else.
class BareOnPty {
public:
    BareOnPty()
        : thread_([fd = pty_.slaveFd()] {
              const char frame[20] = {0, 0, 0, 0, 0, 0, 4, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x0D, 0x0A};
              char byte;
              while (::read(fd, &byte, 1) == 1)
                  if (::write(fd, frame, sizeof frame) != sizeof frame)
                      break;
          })
    {
    }
    ~BareOnPty()  // also when the run is stopped midway
    {
        pty_.closeMaster();  // the thread's read fails and it ends
        thread_.join();
    }
    Responder responder() const { return {pty_.masterFd()}; }

private:
    PtyPair pty_;
    std::thread thread_;
};

}  // namespace

void MeasureZelm2Latency(Bench& bench)
{
    std::printf("ZELM-2 weight requests, 5000 in lockstep, side by side request by request (microseconds)\n");
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    std::optional<XServer> x;
    if (!xvfb.isEmpty())
        x.emplace(xvfb);
    std::vector<Latency> measured;
    {
        const WindowedOnPty windowed(x ? &*x : nullptr, false);
        std::optional<WindowedOnPty> withPanel;
        if (x)
            withPanel.emplace(&*x, true);
        const PlainOnPty plainResponder;
        const BareOnPty bareResponder;
        std::vector<Responder> all{windowed.responder(), plainResponder.responder(), bareResponder.responder()};
        if (withPanel)
            all.push_back(withPanel->responder());
        measured = sideBySide(all, 5000, 20);
    }
    x.reset();
    const Latency &window = measured[0], &plain = measured[1], &bare = measured[2];
    const std::optional<Latency> watched = measured.size() > 3 ? std::optional(measured[3]) : std::nullopt;
    const auto row = [](const char* name, const Latency& l) {
        std::printf("  %-22s %9.1f %9.1f %9.1f %9d %9s\n", name, l.p50, l.p99, l.max, l.failures,
                    std::isnan(l.cpuUs) ? "" : Format("%.1f", l.cpuUs).c_str());
    };
    std::printf("  %-22s %9s %9s %9s %9s %9s\n", "", "p50", "p99", "max", "lost", "CPU/req");
    row("emulator with window", window);
    if (watched)
        row("+ traffic panel + log", *watched);
    row("plain QSerialPort", plain);
    row("bare responder", bare);
    // Both percentiles of each case against the bare responder's.
    const auto goals = [&bench, &bare](const char* name, const Latency& l) {
        const double p50 = l.p50 / bare.p50, p99 = l.p99 / bare.p99;
        const bool met = p50 <= 1.5 && p99 <= 1.5 && l.failures == 0;
        std::printf("  %s / bare: p50 %.2f, p99 %.2f (goal <= 1.5 both, none lost: %s)\n", name, p50, p99,
                    Verdict(met));
        bench.goal(Format("ZELM-2 %s / bare, p50", name), Format("%.2f x", p50), "<= 1.5 x", p50 <= 1.5);
        bench.goal(Format("ZELM-2 %s / bare, p99", name), Format("%.2f x", p99), "<= 1.5 x", p99 <= 1.5);
    };
    goals("window", window);
    if (watched)
        goals("panel + log", *watched);
    else
        std::printf("  the panel is shown on Xvfb only (Debian: apt-get install xvfb): its case is skipped\n");
    std::printf("  CPU a request, emulator with window / plain QSerialPort %.2f\n", window.cpuUs / plain.cpuUs);
    const Latency virtualPort = virtualPortLatency();
    const Latency tcp = tcpLatency();
    row("headless, virtual port", virtualPort);
    row("headless, --tcp", tcp);
    std::printf("  p99 over TCP / over the virtual port %.2f\n", tcp.p99 / virtualPort.p99);
    // A figure to watch, not a goal: Wine is not Windows.
    if (const QString windows = windowsBinary(); !windows.isEmpty()) {
        const Latency wine = tcpLatency(windows);
        row("Windows build on Wine", wine);
        std::printf("  (dravilo.exe under Wine, headless, --tcp)\n\n");
    } else {
        std::printf("  (no Windows build to run under Wine: scripts/build-windows makes one)\n\n");
    }
}

}  // namespace dravilo::test
