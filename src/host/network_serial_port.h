#pragma once

// The terminal's line as a TCP server, for a host on another machine: the
// bytes a client sends are the host's, the terminal's go back to it, raw or
// in Telnet with the COM-PORT option (RFC 2217) as a serial device server
// speaks it. One host at a time: while one is connected, another is closed
// at once. The line is open while the program has it open and a host is
// connected; the program's closing and opening (a pick in the port panel)
// never stops the listening nor drops the host.

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <optional>

#include "base/configured_port.h"
#include "host/telnet_com_port.h"

namespace dravilo {

class NetworkSerialPort : public ConfiguredPort {
public:
    enum class Protocol { Raw, Rfc2217 };

    // Listening on `where`, "[ADDRESS:]PORT" (127.0.0.1 unless named); nothing,
    // with the reason in `error`, where that is no address or cannot be listened on.
    static std::unique_ptr<NetworkSerialPort> listen(const QString& where, Protocol protocol, QString& error);
    ~NetworkSerialPort() override;
    NetworkSerialPort(const NetworkSerialPort&) = delete;
    NetworkSerialPort& operator=(const NetworkSerialPort&) = delete;

    QString address() const;  // as a host names it: 127.0.0.1:4001, [::1]:4001
    bool reachableFromOutside() const;

    PortResult setPortOpen(bool open) override;
    bool portOpen() const override { return open_ && host_ != nullptr; }
    PortResult output(const QByteArray& bytes) override;
    QByteArray input() override;
    int commEvent() const override { return event_; }
    QString notOpenReason() const override;
    QString lineDescription() const override;
    bool pacesItself() const override { return false; }
    std::optional<UartFraming> hostFraming() const override;

protected:
    // Only shown on a network line: whether a host is there or not, they may change.
    bool settingsLocked() const override { return false; }

private:
    explicit NetworkSerialPort(Protocol protocol) : protocol_(protocol) {}
    void accept();
    // Whether the host connected is still there, once what it sent is read.
    bool hostStillThere();
    void readArrived();
    void hostLeft();
    void letGoOfCopy();
    // To the host, as long as no more than the bound waits for it; false when dropped.
    bool send(const QByteArray& wire);
    void raise(int event);
    void report(const QString& what);

    Protocol protocol_;
    QTcpServer server_;
    QTcpSocket* host_ = nullptr;  // the server's child, deleted once it has gone
    QString hostName_;
    std::optional<TelnetComPort> telnet_;  // for the host connected, on RFC 2217
    QByteArray received_;
    bool open_ = false;
    bool moreToRead_ = false;
    int closingFd_ = -1;  // a copy of the host's socket, for answers after it closed its end  // the rest of what the host sent is read at the next turn
    int event_ = comEvReceive;
};

}  // namespace dravilo
