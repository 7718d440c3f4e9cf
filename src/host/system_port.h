#pragma once

// The line behind COM n on a Unix system: the device the link ports/COMn in
// the program folder names (or /dev/ttyS(n-1)), opened as a serial port; or,
// where that link names the program's own virtual port path, a
// pseudo-terminal of its own whose host end appears at that path while the
// port is open. A person chooses between them in the window: the choice is
// the link, kept in the program folder from run to run.

#include <functional>
#include <memory>

#include "host/pty_serial_port.h"
#include "host/qt_serial_port.h"

namespace dravilo {

class SystemPort : public SerialPort {
public:
    explicit SystemPort(std::function<QString()> programFolder);

    PortResult setCommPort(int number) override;
    int commPort() const override { return device_.commPort(); }
    PortResult setSettings(const QString& settings) override;
    QString settings() const override { return device_.settings(); }
    PortResult setPortOpen(bool open) override;
    bool portOpen() const override { return line().portOpen(); }
    PortResult output(const QByteArray& bytes) override { return line().output(bytes); }
    QByteArray input() override { return line().input(); }
    int commEvent() const override { return line().commEvent(); }
    QString lineDescription() const override;
    QStringList devicesPresent() const override;
    QString deviceChosen() const override;
    bool pacesItself() const override { return !virtual_; }
    std::optional<UartFraming> hostFraming() const override
    {
        return virtual_ ? virtual_->hostFraming() : std::nullopt;
    }
    PortResult chooseDevice(int& number, const QString& device) override;

private:
    const SerialPort& line() const { return virtual_ ? static_cast<const SerialPort&>(*virtual_) : device_; }
    SerialPort& line() { return virtual_ ? static_cast<SerialPort&>(*virtual_) : device_; }
    void pass(SerialPort& port);

    std::function<QString()> programFolder_;
    QtSerialPort device_;
    std::unique_ptr<PtySerialPort> virtual_;  // while COM n is served as a virtual port
};

}  // namespace dravilo
