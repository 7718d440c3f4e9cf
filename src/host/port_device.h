#pragma once

#include <QString>

namespace dravilo {

// The device behind COM n: COMn on Windows; elsewhere the link ports/COMn in
// the program folder when it is there (even while its device is gone),
// otherwise /dev/ttyS(n-1).
QString PortDevice(int number, const QString& programFolder);

// Where COM n is served as the program's own virtual port: COMn in the
// user's own runtime folder, $XDG_RUNTIME_DIR/dravilo, else ~/.cache/dravilo.
QString VirtualPortPath(int number);

// Points the link ports/COMn in the program folder at `target`, replacing
// the link that was there at once. Anything else there is the user's and is
// left alone. Empty, or why not.
QString LinkPortDevice(const QString& programFolder, int number, const QString& target);

}  // namespace dravilo
