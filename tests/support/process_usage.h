#pragma once

// What a running process costs, read from /proc: shared by the end-to-end
// tests (a dead port must not make the program spin) and the benchmark.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <cmath>
#include <sys/types.h>
#include <unistd.h>

namespace dravilo::test {

// utime + stime in seconds; NaN once the process is gone.
inline double ProcessCpuSeconds(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return NAN;
    const QByteArray text = stat.readAll();
    // The command name may hold blanks; the fields after it are fixed.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return NAN;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

// A size line of a /proc/PID file ("status" has "VmRSS:", "smaps_rollup" "Pss:") in MB.
inline double ProcessSizeMb(pid_t pid, const char* file, const QByteArray& field)
{
    QFile sizes(QStringLiteral("/proc/%1/%2").arg(pid).arg(file));
    if (!sizes.open(QIODevice::ReadOnly))
        return NAN;
    for (const QByteArray& line : sizes.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ')[0].toDouble() / 1024.0;
    return NAN;
}

// The resident set at its highest.
inline double ProcessPeakMemoryMb(pid_t pid) { return ProcessSizeMb(pid, "status", "VmHWM:"); }

// The resident set now.
inline double ProcessResidentMb(pid_t pid) { return ProcessSizeMb(pid, "status", "VmRSS:"); }

}  // namespace dravilo::test
