#pragma once

// The serial line as the program uses it: a port number and a settings text
// set while closed, opening and closing, sending, reading what arrived, and a
// communication event. Every operation that can fail returns its error
// description instead of throwing, so a handler can skip the step and go on.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "base/line_settings.h"

namespace dravilo {

// Among the devices to choose from: a virtual port of the program's own.
inline const QString kVirtualDevice = QStringLiteral("virtual");

// Kinds of communication event.
constexpr int comEvReceive = 2;      // characters arrived and wait in Input
constexpr int comEvCTS = 3;          // the terminal's CTS changed: a host's RTS
constexpr int comEvDSR = 4;          // the terminal's DSR changed: a host's DTR
constexpr int comEvCD = 5;           // the carrier came or went: a network line's host connected or left
constexpr int comEventBreak = 1001;  // a break began or ended on the line
constexpr int comEventPortLost = 1100;  // the device went away; the port is now closed
constexpr int comEvHostClosing = 1101;  // a network host closed its end: what is on its way to it is due now

struct PortResult {
    QString error;  // empty on success
    bool ok() const { return error.isEmpty(); }
};

// The errors every port reports in the same words.
inline PortResult NotWhileOpen() { return {QStringLiteral("Operation valid only when the port is closed")}; }
inline PortResult NotWhileClosed() { return {QStringLiteral("Operation valid only when the port is open")}; }
inline PortResult InvalidSetting(const QString& text) { return {QStringLiteral("Invalid Setting: %1").arg(text)}; }

class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual PortResult setCommPort(int number) = 0;
    virtual int commPort() const = 0;
    virtual PortResult setSettings(const QString& settings) = 0;
    virtual QString settings() const = 0;
    virtual PortResult setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    virtual PortResult output(const QByteArray& bytes) = 0;
    virtual QByteArray input() = 0;  // everything received and not yet read
    virtual int commEvent() const = 0;
    // Why the line is not open when the program has not closed it (a network
    // line waiting for its host); empty where the line has nothing to say.
    virtual QString notOpenReason() const { return {}; }
    // A real UART sends its bytes at the line's pace itself; a pseudo-terminal
    // or a network line carries them at once, and is paced by the line model.
    virtual bool pacesItself() const { return true; }
    // The framing the host has set at its end, where the line tells it (the
    // rate on a pseudo-terminal, everything over RFC 2217).
    virtual std::optional<UartFraming> hostFraming() const { return std::nullopt; }
    // What the line is, for a person: "COM2 → /dev/ttyUSB0", "virtual port
    // /run/user/1000/dravilo/COM2", "TCP 127.0.0.1:4001, host ... connected".
    virtual QString lineDescription() const { return {}; }
    // The devices a person may choose from for COM n: those present, and
    // kVirtualDevice where the line can be a virtual port of its own. None
    // where the line is not chosen so (a network line).
    virtual QStringList devicesPresent() const { return {}; }
    // Which of them COM n is now: one of devicesPresent(), or empty.
    virtual QString deviceChosen() const { return {}; }
    // Makes `device`, one of devicesPresent(), the line of COM `number` from
    // its next opening on; where the system names its ports by number, the
    // number becomes that port's.
    virtual PortResult chooseDevice(int& number, const QString& device)
    {
        Q_UNUSED(number);
        return {QStringLiteral("%1 cannot be chosen on this line").arg(device)};
    }

    // Raised on the window's thread; read commEvent() inside it.
    std::function<void()> onComm;
    // The line's own events for the traffic record: a host that came, went
    // or was refused, the settings a host asked for.
    std::function<void(const QString& what)> onReport;
};

}  // namespace dravilo
