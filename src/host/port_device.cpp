#include "host/port_device.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace dravilo {

QString PortDevice(int number, const QString& programFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(programFolder);
    return QStringLiteral("COM%1").arg(number);
#else
    const QString link = programFolder + QStringLiteral("ports/COM%1").arg(number);
    // A link whose device has gone (unplugged, a null-modem being restarted)
    // still names the port: it fails to open until the device is back,
    // instead of opening some other line in its place.
    const QFileInfo info(link);
    if (info.exists() || info.isSymLink())
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString VirtualPortPath(int number)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.cache");
    return folder + QStringLiteral("/dravilo/COM%1").arg(number);
}

QString LinkPortDevice(const QString& programFolder, int number, const QString& target)
{
#ifdef Q_OS_UNIX
    const QString folder = programFolder + QStringLiteral("ports");
    const QString link = folder + QStringLiteral("/COM%1").arg(number);
    const QFileInfo there(link);
    if (there.exists() && !there.isSymLink())
        return QStringLiteral("%1 is no link but a file of yours; it is left alone").arg(link);
    if (!QDir().mkpath(folder))
        return QStringLiteral("the folder %1 cannot be made").arg(folder);
    // Made beside it and renamed over it: the port is never without its link.
    const QString fresh = link + QStringLiteral(".new");
    if (QFileInfo(fresh).isSymLink())
        QFile::remove(fresh);
    if (!QFile::link(target, fresh))
        return QStringLiteral("%1 cannot be made").arg(fresh);
    if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(link).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(fresh);
        return QStringLiteral("%1: %2").arg(link, why);
    }
    return {};
#else
    Q_UNUSED(programFolder);
    Q_UNUSED(number);
    Q_UNUSED(target);
    return QStringLiteral("COM ports have no links on this system");
#endif
}

}  // namespace dravilo
