#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "base/serial_port.h"

namespace dravilo {

// The system's own serial line behind COM n: QSerialPort on Unix, the Win32
// port on Windows (the build takes one of the two). COM n is resolved when
// the port opens, in the program folder known by then.
std::unique_ptr<SerialPort> MakeDevicePort(std::function<QString()> programFolder);

}  // namespace dravilo
