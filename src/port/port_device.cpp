#include "port/port_device.h"

#include <QFileInfo>

namespace dravilo {

QString PortDevice(int number, const QString& programFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(programFolder);
    return QStringLiteral("COM%1").arg(number);
#else
    const QString link = programFolder + QStringLiteral("ports/COM%1").arg(number);
    // exists() follows the link: a link to a vanished device counts as missing.
    if (QFileInfo::exists(link))
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

}  // namespace dravilo
