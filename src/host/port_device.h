#pragma once

#include <QString>

namespace dravilo {

// The device behind COM n: COMn on Windows; elsewhere the link ports/COMn in
// the program folder when it is there (even while its device is gone),
// otherwise /dev/ttyS(n-1).
QString PortDevice(int number, const QString& programFolder);

}  // namespace dravilo
