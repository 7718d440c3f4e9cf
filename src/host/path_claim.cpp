#include "host/path_claim.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dravilo {

namespace {

#ifdef Q_OS_UNIX

QString kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return QStringLiteral("a file");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISLNK(mode))
        return QStringLiteral("a link");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a device");
}

// Whether what stands at `path` may go: a leftover of a run that is gone.
// Empty when the path is free now; otherwise why it is left alone.
QString clear(const QString& path, PathClaim::Leftover leftover, bool lockLeftBehind)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        if (errno == ENOENT)
            return {};
        return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    bool ours = false;
    if (leftover == PathClaim::Leftover::Socket)
        ours = S_ISSOCK(st.st_mode);
    else  // a link is only known for ours by the lock its run left beside it
        ours = S_ISLNK(st.st_mode) && lockLeftBehind && st.st_uid == ::geteuid() &&
               QFile::symLinkTarget(path).startsWith(QLatin1String("/dev/"));
    if (!ours)
        return QStringLiteral("%1 is already there, %2 that this program did not leave; it is left alone")
            .arg(path, kindOf(st.st_mode));
    if (::unlink(native.constData()) != 0)
        return QStringLiteral("%1, left by a run that is gone, cannot be removed: %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}

#else

QString clear(const QString& path, PathClaim::Leftover, bool)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return QStringLiteral("%1 is already there; it is left alone").arg(path);
    return {};
}

#endif

}  // namespace

std::unique_ptr<PathClaim> PathClaim::take(const QString& path, Leftover leftover, QString& error,
                                           const QString& lockPathAsked)
{
    const QString lockPath = lockPathAsked.isEmpty() ? path + QStringLiteral(".lock") : lockPathAsked;
    const bool lockLeftBehind = QFileInfo(lockPath).isFile();
    std::unique_ptr<PathClaim> claim(new PathClaim(lockPath));
    // Only a dead owner makes a lock stale, never its age: an emulator that
    // is stopped (SIGSTOP) keeps its path.
    claim->lock_.setStaleLockTime(0);
    qint64 holder = 0;
    QString host, application;
    // A run that was killed may have had the number this one has now (Windows
    // and Wine hand numbers out again): its lock is stale, not this run's.
    if (!claim->lock_.tryLock(0) && claim->lock_.getLockInfo(&holder, &host, &application) &&
        holder == QCoreApplication::applicationPid() && claim->lock_.removeStaleLockFile())
        claim->lock_.tryLock(0);
    if (!claim->lock_.isLocked()) {
        if (claim->lock_.error() == QLockFile::LockFailedError &&
            claim->lock_.getLockInfo(&holder, &host, &application))
            error = QStringLiteral("%1 is in use by a running emulator (process %2)").arg(path).arg(holder);
        else if (!QFileInfo(QFileInfo(path).path()).isDir())
            error = QStringLiteral("there is no folder %1").arg(QFileInfo(path).path());
        else
            error = QStringLiteral("%1 cannot be made or locked, so %2 is not taken").arg(lockPath, path);
        return nullptr;
    }
    error = clear(path, leftover, lockLeftBehind);
    if (!error.isEmpty())
        return nullptr;
    return claim;
}

}  // namespace dravilo
