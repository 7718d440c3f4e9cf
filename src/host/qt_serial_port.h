#pragma once

#include <QSerialPort>
#include <QTimer>

#include "base/configured_port.h"

namespace dravilo {

// The serial line on QSerialPort. COM n is resolved to a device when the
// port opens (see PortDevice), in the program folder known by then.
class QtSerialPort : public ConfiguredPort {
public:
    explicit QtSerialPort(std::function<QString()> programFolder);

    PortResult setPortOpen(bool open) override;
    bool portOpen() const override { return port_.isOpen(); }
    PortResult output(const QByteArray& bytes) override;
    QByteArray input() override;
    int commEvent() const override { return event_; }
    // The lines the device at the other end drives, while open: "CTS on, DSR on, DCD off".
    QString controlLines() const;

private:
    void raise(int event);
    bool deviceGone();
    PortResult applySettings(const QString& device);

    QSerialPort port_;
    QTimer linesWatch_;  // looks at the control lines while open: the port tells no change of them
    QSerialPort::PinoutSignals lines_;
    QByteArray received_;  // arrived and not yet taken by input()
    std::function<QString()> programFolder_;
    int event_ = 0;
};

}  // namespace dravilo
