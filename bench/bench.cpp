#include "bench.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>

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
