#pragma once

// A serial line on a pseudo-terminal the program makes itself: it keeps the
// master end and links a path to the slave end, which a host program opens
// as it would open any serial port. No null-modem driver is needed.

#include <QByteArray>
#include <QSocketNotifier>
#include <memory>

#include "port/line_settings.h"
#include "port/serial_port.h"

namespace dravilo {

class PtySerialPort : public SerialPort {
public:
    // Nothing where no pseudo-terminal can be made or `link` cannot be made
    // to point at it; `error` then says why.
    static std::unique_ptr<PtySerialPort> create(const QString& link, QString& error);
    ~PtySerialPort() override;  // both ends closed, the link removed
    PtySerialPort(const PtySerialPort&) = delete;
    PtySerialPort& operator=(const PtySerialPort&) = delete;

    const QString& hostEnd() const { return slavePath_; }

    PortResult setCommPort(int number) override;
    int commPort() const override { return number_; }
    PortResult setSettings(const QString& settings) override;
    QString settings() const override { return settings_.text(); }
    PortResult setPortOpen(bool open) override;
    bool portOpen() const override { return open_; }
    PortResult output(const QByteArray& bytes) override;
    QByteArray input() override;
    int commEvent() const override { return comEvReceive; }

private:
    PtySerialPort(int master, int slave, QString slavePath, QString link);
    void readArrived();
    void writeWaiting();

    int master_;
    int slave_;  // kept open: a host closing its end is no hang-up of the line
    QString slavePath_;
    QString link_;
    QSocketNotifier readable_;
    QSocketNotifier writable_;
    QByteArray received_;
    QByteArray waiting_;  // accepted for the line, not yet taken by the kernel
    int number_ = 1;
    LineSettings settings_;
    bool open_ = false;
};

}  // namespace dravilo
