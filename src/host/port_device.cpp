#include "host/port_device.h"

#include <QFileInfo>

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

}  // namespace dravilo
