#include "host/traffic_log.h"

#include "host/headless_platform.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#endif

namespace dravilo {

bool TrafficLog::open(const QString& path, QString& error)
{
#ifdef Q_OS_UNIX
    // Not blocking: a FIFO nobody reads yet must not stop the start, nor a
    // full one the terminal.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC,
                          0644);
    if (fd < 0) {
        error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (file_.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return true;
#else
    file_.setFileName(path);
    if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return true;
#endif
    error = QStringLiteral("%1: %2").arg(path, file_.errorString());
    return false;
}

void TrafficLog::write(const TrafficEvent& event)
{
    const QByteArray line = TrafficLine(event).toUtf8() + '\n';
    if (file_.write(line) == line.size()) {
        failing_ = false;
        return;
    }
    if (!failing_)
        Say(QStringLiteral("the traffic log %1 takes no more lines (%2); lines are lost until it does")
                .arg(file_.fileName(), file_.errorString()));
    failing_ = true;
}

}  // namespace dravilo
