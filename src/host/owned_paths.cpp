#include "host/owned_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dravilo {

#ifdef Q_OS_UNIX

namespace {

// Enough for any honest path, few enough to stop a loop of links.
constexpr int kMostLinks = 40;

bool trustedOwner(uid_t uid) { return uid == ::geteuid() || uid == 0; }

// The group of a user-private-group system: named as the user, who alone is in it.
bool privateGroup(gid_t gid)
{
    const passwd* user = ::getpwuid(::geteuid());
    const group* g = ::getgrgid(gid);
    return user && g && gid == user->pw_gid && std::strcmp(g->gr_name, user->pw_name) == 0 &&
           (g->gr_mem == nullptr || g->gr_mem[0] == nullptr);
}

QString ownerText(uid_t uid)
{
    const passwd* user = ::getpwuid(uid);
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(uid);
}

QString modeText(mode_t mode) { return QStringLiteral("%1").arg(mode & 07777, 4, 8, QChar(u'0')); }

// A folder on the way: others may not rename what is in it, unless it is sticky.
QString checkOnTheWay(const QString& path, const struct stat& st)
{
    if (!trustedOwner(st.st_uid))
        return QStringLiteral("%1 belongs to %2").arg(path, ownerText(st.st_uid));
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) && !(st.st_mode & S_ISVTX) && !privateGroup(st.st_gid))
        return QStringLiteral("other users may write to %1 (mode %2)").arg(path, modeText(st.st_mode));
    return {};
}

// The folder itself: the user's, and nobody else may add to it.
QString checkItself(const QString& path, const struct stat& st)
{
    if (st.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to %2").arg(path, ownerText(st.st_uid));
    if ((st.st_mode & S_IWOTH) || ((st.st_mode & S_IWGRP) && !privateGroup(st.st_gid)))
        return QStringLiteral("other users may write to %1 (mode %2)").arg(path, modeText(st.st_mode));
    return {};
}

QString systemError(const QString& path)
{
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

QString NotOwnFolder(const QString& folder)
{
    // Walked a name at a time, each link read and checked before it is
    // followed: the system's own resolving would follow a planted one.
    QStringList rest = QDir::cleanPath(QDir(folder).absolutePath()).split(u'/', Qt::SkipEmptyParts);
    QString at;  // resolved so far; "" is the root
    int links = 0;
    while (!rest.isEmpty()) {
        const QString name = rest.takeFirst();
        if (name == QLatin1String("..")) {
            at = at.left(at.lastIndexOf(u'/'));
            continue;
        }
        const QString next = at + u'/' + name;
        const QByteArray native = QFile::encodeName(next);
        struct stat st {};
        if (::lstat(native.constData(), &st) != 0)
            return errno == ENOENT ? QString() : systemError(next);  // the rest is made by this run
        if (S_ISLNK(st.st_mode)) {
            if (!trustedOwner(st.st_uid))
                return QStringLiteral("%1 is a link that %2 made").arg(next, ownerText(st.st_uid));
            if (++links > kMostLinks)
                return QStringLiteral("%1: too many links").arg(next);
            char buffer[PATH_MAX];
            const ssize_t length = ::readlink(native.constData(), buffer, sizeof buffer - 1);
            if (length < 0)
                return systemError(next);
            const QString read = QFile::decodeName(QByteArray(buffer, length));
            rest = read.split(u'/', Qt::SkipEmptyParts) + rest;
            if (read.startsWith(u'/'))
                at.clear();
            continue;
        }
        if (!S_ISDIR(st.st_mode))
            return QStringLiteral("%1 is no folder").arg(next);
        const QString why = rest.isEmpty() ? checkItself(next, st) : checkOnTheWay(next, st);
        if (!why.isEmpty())
            return why;
        at = next;
    }
    return {};
}

QString PlantedLink(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISLNK(st.st_mode) || trustedOwner(st.st_uid))
        return {};
    // Another user's link in a folder that is the user's alone was put there by the user.
    const QString folder = QFileInfo(path).absolutePath();
    struct stat in {};
    if (::stat(QFile::encodeName(folder).constData(), &in) == 0 && checkItself(folder, in).isEmpty())
        return {};
    return QStringLiteral("%1 is a link that %2 made in %3, a folder not yours alone; it is not followed")
        .arg(path, ownerText(st.st_uid), folder);
}

#else

QString NotOwnFolder(const QString&) { return {}; }
QString PlantedLink(const QString&) { return {}; }

#endif

}  // namespace dravilo
