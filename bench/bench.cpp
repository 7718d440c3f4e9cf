#include "bench.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "program/settings_record.h"

namespace dravilo::test {

namespace {

volatile std::sig_atomic_t stopAsked = 0;

}  // namespace

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(p / 100.0 * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

std::string Format(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

double ThreadsCpuSeconds(pid_t pid)
{
    const QDir threads(QStringLiteral("/proc/%1/task").arg(pid));
    if (!threads.exists())
        return NAN;
    double seconds = 0;
    for (const QString& thread : threads.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(threads.filePath(thread + "/schedstat"));
        if (schedstat.open(QIODevice::ReadOnly))
            seconds += schedstat.readAll().split(' ')[0].toDouble() / 1e9;
    }
    return seconds;
}

void CatchStopSignals()
{
    for (const int signal : {SIGINT, SIGTERM})
        std::signal(signal, [](int) { stopAsked = 1; });
}

void ThrowIfStopped()
{
    if (stopAsked)
        throw std::runtime_error("stopped");
}

int FreeLoopbackPort()
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(probe);
    return ntohs(address.sin_port);
}

int ConnectLoopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return fd;
    ::close(fd);
    return -1;
}

void StoreZelm1(EmulatorProcess& emulator, int periodMs)
{
    SettingsRecord record = emulator.defaults();
    record.intTerminalType = 1;
    record.intSendPeriod = std::int16_t(periodMs);
    emulator.storeSettings(EncodeSettings(record));
}

void LaunchOnPty(EmulatorProcess& emulator, const PtyPair& pty, const QStringList& arguments)
{
    LinkPort(emulator.programFiles(), 2, pty);
    emulator.setStandardOutputFile(QProcess::nullDevice());
    emulator.setStandardErrorFile(QProcess::nullDevice());
    emulator.launch(arguments);
}

void Bench::goal(const std::string& figure, const std::string& measured, const std::string& target, bool met)
{
    goals_.push_back({figure, measured, target, met});
}

void Bench::printSummary() const
{
    std::printf("Summary\n");
    for (const Goal& g : goals_)
        std::printf("  %-42s %12s  %-17s %s\n", g.figure.c_str(), g.measured.c_str(), g.target.c_str(),
                    Verdict(g.met));
}

}  // namespace dravilo::test
