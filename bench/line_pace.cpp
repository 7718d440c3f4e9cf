// The line's pace as a host on each line the emulator serves meets it, at
// 9600,n,8,1, beside the line's physical figures: the time from a ZELM-2
// request's byte to the reply's last byte (a byte of 10 bits takes 1.04 ms:
// 1.04 ms for the request, 20.8 ms for the 20-byte frame), the spacing of
// the reply's bytes, and at ZELM-1 1 ms the bytes a second the host reads
// (960 at most) with the lines the full line could not take.

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "control_socket.h"
#include "parts.h"

namespace dravilo::test {

namespace {

constexpr double kByteMs = 10 * 1000.0 / 9600;
constexpr double kReplyMs = 21 * kByteMs;  // the request's byte and the frame's 20

struct Line {
    const char* name;
    QStringList (*arguments)(const QString& folder, int port);
    int (*open)(const QString& folder, int port);
};

int openPty(const QString& folder, int)
{
    const int fd = ::open((folder + "/scale").toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios mode{};
    if (fd >= 0 && ::tcgetattr(fd, &mode) == 0) {
        ::cfmakeraw(&mode);
        ::cfsetspeed(&mode, B9600);
        ::tcsetattr(fd, TCSANOW, &mode);
    }
    return fd;
}

int openTcp(const QString&, int port) { return ConnectLoopback(port); }

const Line kLines[] = {
    {"virtual port", [](const QString& folder, int) { return QStringList{"--virtual-port", folder + "/scale"}; },
     openPty},
    {"TCP", [](const QString&, int port) { return QStringList{"--tcp", QString::number(port)}; }, openTcp},
    {"RFC 2217", [](const QString&, int port) { return QStringList{"--rfc2217", QString::number(port)}; }, openTcp},
};

// The bytes the host reads within `ms` of `start`, each with the ms since
// `start` it was read at; a Telnet server's own commands (its greeting, on
// RFC 2217) are no line bytes.
std::vector<std::pair<unsigned char, double>> readFor(int fd, double ms, std::size_t most = SIZE_MAX,
                                                      Clock::time_point start = Clock::now())
{
    std::vector<std::pair<unsigned char, double>> bytes;
    int telnet = 0;  // bytes of a Telnet command still to skip
    while (MsSince(start) < ms && bytes.size() < most) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(std::max(1.0, ms - MsSince(start)))) <= 0)
            break;
        unsigned char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        const double at = MsSince(start);
        for (ssize_t i = 0; i < n; ++i) {
            if (telnet > 0 || buffer[i] == 0xFF) {
                telnet = telnet > 0 ? telnet - 1 : 2;
                continue;
            }
            bytes.push_back({buffer[i], at});
        }
    }
    return bytes;
}

void measureLine(Bench& bench, const Line& line)
{
    QTemporaryDir folder;
    const int port = FreeLoopbackPort();
    EmulatorProcess emulator;
    emulator.setStandardOutputFile(QProcess::nullDevice());
    emulator.setStandardErrorFile(QProcess::nullDevice());
    emulator.launch(QStringList{"--headless", "--settings-dir", folder.path() + "/settings", "--control",
                                folder.path() + "/control"} +
                    line.arguments(folder.path(), port));
    ControlSocket control((folder.path() + "/control").toStdString());
    control.command("sway 0 0");
    int fd = -1;
    for (int i = 0; i < 100 && fd < 0; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        fd = line.open(folder.path(), port);
    if (fd < 0)
        throw std::runtime_error(std::string("the host could not open the ") + line.name + " line");
    readFor(fd, 300);  // a greeting, and the start's own lines

    std::vector<double> replies, spacing;
    int lost = 0;
    const int requests = std::max(20, int(bench.seconds(10) * 1000 / 30));
    const unsigned char weightRequest = 0x0A;
    for (int i = 0; i < requests; ++i) {
        ThrowIfStopped();
        const auto asked = Clock::now();
        if (::write(fd, &weightRequest, 1) != 1)
            break;
        const auto frame = readFor(fd, 200, 20, asked);
        if (frame.size() != 20) {
            ++lost;
            readFor(fd, 100);
            continue;
        }
        replies.push_back(frame.back().second);
        for (std::size_t b = 1; b < frame.size(); ++b)
            spacing.push_back(frame[b].second - frame[b - 1].second);
    }

    control.command("type zelm1");
    control.command("period 1");
    readFor(fd, 200);
    const double seconds = bench.seconds(10);
    const std::size_t bytes = readFor(fd, seconds * 1000).size();
    const double perSecond = bytes / seconds;
    const std::string notSent = control.command("get Port_Label3");
    ::close(fd);

    const double p50 = Percentile(replies, 50);
    const double p99spacing = Percentile(spacing, 99);
    std::printf("  %-12s reply %6.2f ms p50, %6.2f p99 (physical %.2f); byte spacing p50 %.3f, p99 %.3f ms "
                "(physical %.3f); %d replies lost\n",
                line.name, p50, Percentile(replies, 99), kReplyMs, Percentile(spacing, 50), p99spacing, kByteMs,
                lost);
    std::printf("  %-12s ZELM-1 at 1 ms: %.1f bytes a second read (physical 960); %s\n", line.name, perSecond,
                notSent.c_str());
    const std::string name = std::string(line.name) + ": ";
    bench.goal(name + "reply time p50, ms", Format("%.2f", p50), Format("%.2f ±1", kReplyMs),
               std::abs(p50 - kReplyMs) <= 1.0);
    bench.goal(name + "byte spacing p99, ms", Format("%.3f", p99spacing), Format("%.3f ±0.2", kByteMs),
               std::abs(p99spacing - kByteMs) <= 0.2);
    bench.goal(name + "ZELM-1 1 ms, bytes a second", Format("%.1f", perSecond), "960 ±1%",
               std::abs(perSecond - 960) <= 9.6);
}

}  // namespace

void MeasureLinePace(Bench& bench)
{
    std::printf("The line's pace at 9600,n,8,1, as a host on each line meets it\n");
    for (const Line& line : kLines)
        measureLine(bench, line);
    std::printf("\n");
}

}  // namespace dravilo::test
