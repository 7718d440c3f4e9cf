#include "host/traffic_log.h"

#include "app/traffic_decoding.h"
#include "host/headless_platform.h"
#include "host/owned_paths.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dravilo {

#ifdef Q_OS_UNIX

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

}  // namespace

TrafficLog::~TrafficLog()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool TrafficLog::open(const QString& path, QString& error)
{
    path_ = path;
    error = PlantedLink(path);
    if (!error.isEmpty())
        return false;
    struct stat st {};
    // A link is followed only when it is the user's own (checked above);
    // anything else is opened as it stands, so that a link swapped in
    // meanwhile is not followed either.
    const bool ownLink = ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
    // Not blocking: a FIFO whose reader lags must not stop the terminal.
    const int flags = O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | (ownLink ? 0 : O_NOFOLLOW);
    fd_ = ::open(QFile::encodeName(path).constData(), flags, 0644);
    if (fd_ < 0) {
        error = errno == ENXIO ? QStringLiteral("%1: a FIFO nobody reads").arg(path)
                               : QStringLiteral("%1: %2").arg(path, systemError());
        return false;
    }
    return true;
}

bool TrafficLog::append(const QByteArray& line, QString& why)
{
    // A line is short enough for a pipe to take it whole or not at all; a
    // file on a disk that fills takes a part, and says why at the rest.
    qsizetype written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(fd_, line.constData() + written, size_t(line.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    if (written == line.size())
        return true;
    if (errno == EAGAIN || errno == EWOULDBLOCK)
        why = QStringLiteral("its reader does not keep up");
    else if (errno == EPIPE)
        why = QStringLiteral("its reader has gone");
    else
        why = systemError();
    return false;
}

#else

TrafficLog::~TrafficLog() = default;

bool TrafficLog::open(const QString& path, QString& error)
{
    path_ = path;
    file_.setFileName(path);
    if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return true;
    error = QStringLiteral("%1: %2").arg(path, file_.errorString());
    return false;
}

bool TrafficLog::append(const QByteArray& line, QString& why)
{
    if (file_.write(line) == line.size())
        return true;
    why = file_.errorString();
    return false;
}

#endif

void TrafficLog::write(const TrafficEvent& event)
{
    QString why;
    QByteArray line = TrafficLine(event).toUtf8();
    line += '\n';
    if (append(line, why)) {
        failing_ = false;
        return;
    }
    if (!failing_)
        Say(QStringLiteral("the traffic log %1 takes no more lines (%2); lines are lost until it does")
                .arg(path_, why));
    failing_ = true;
}

}  // namespace dravilo
