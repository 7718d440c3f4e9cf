#pragma once

#include <QByteArray>
#include <QWinEventNotifier>
#include <functional>
#include <qt_windows.h>

#include "base/configured_port.h"

namespace dravilo {

// The serial line on the Win32 API: \\.\COMn opened for overlapped I/O, one
// read and one write in flight at a time, each finishing on the event loop.
// Reads need neither WaitCommEvent nor the special read timeouts, which
// Wine does not carry out on its ports over pseudo-terminals: the same path
// runs on Windows and under Wine.
class WinSerialPort : public ConfiguredPort {
public:
    explicit WinSerialPort(std::function<QString()> programFolder);
    ~WinSerialPort() override;
    WinSerialPort(const WinSerialPort&) = delete;
    WinSerialPort& operator=(const WinSerialPort&) = delete;

    PortResult setPortOpen(bool open) override;
    bool portOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    PortResult output(const QByteArray& bytes) override;
    QByteArray input() override;
    int commEvent() const override { return event_; }
    QString lineDescription() const override { return QStringLiteral("COM%1").arg(commPort()); }
    // The COM ports the system has, as it lists them; choosing one is choosing its number.
    QStringList devicesPresent() const override;
    QString deviceChosen() const override { return QStringLiteral("COM%1").arg(commPort()); }
    PortResult chooseDevice(int& number, const QString& device) override;

private:
    // One overlapped operation: its OVERLAPPED, the event that says it has
    // finished, and whether it is in flight.
    struct Transfer {
        OVERLAPPED overlapped{};
        QWinEventNotifier notifier;
        bool busy = false;
    };

    PortResult applySettings();
    void close();
    bool startRead();
    void readDone();
    bool startWrite();
    void writeDone();
    void lose();
    void raise(int event);

    std::function<QString()> programFolder_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    Transfer read_, write_;
    char readBuffer_[4096];
    QByteArray writing_;   // the bytes of the write in flight
    QByteArray waiting_;   // queued behind it
    QByteArray received_;  // arrived and not yet taken by input()
    int event_ = 0;
};

}  // namespace dravilo
