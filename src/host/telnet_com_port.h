#pragma once

// The server's side of Telnet with the COM-PORT option (RFC 2217), as a
// serial device server speaks it, without the socket: what the host sends
// goes in, the data for the terminal and the answers for the host come out.
// BINARY and SUPPRESS-GO-AHEAD are agreed both ways, COM-PORT whichever way
// the host asks, everything else refused; each COM-PORT request is answered
// with its command + 100 and the value then in force.

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "base/line_settings.h"

namespace dravilo {

class TelnetComPort {
public:
    struct Decoded {
        QByteArray data;    // the host's bytes, as the terminal is to read them
        QByteArray answer;  // for the host, as it is
        // The host purged what it had sent: what the terminal has not read yet is void.
        bool purgeSent = false;
        bool lineSet = false;  // the host set its rate, data size, parity or stop size
        bool controlSet = false;  // the host set its DTR, its RTS or a break
        QStringList notes;     // what was refused or discarded, for the traffic
    };

    // The host's line starts as the terminal's, for a host that only asks.
    explicit TelnetComPort(const LineSettings& terminal);

    // The server's offers, sent as the host connects.
    static QByteArray greeting();
    // The terminal's bytes for the host: every 0xFF doubled.
    static QByteArray encode(const QByteArray& data);

    Decoded decode(const QByteArray& bytes);
    // The line the host asked for, as the terminal's settings read: "19200,e,8,1".
    QString hostLine() const;
    // The same, as a UART at the host's end frames its bytes.
    std::optional<UartFraming> hostFraming() const;
    // The host's control lines: "DTR on, RTS on", and ", a break" while it sends one.
    QString hostControl() const;
    bool breaking() const;

private:
    enum class State { Data, Command, Option, Sub, SubCommand, Skip, SkipCommand };
    enum class Agreed { No, Yes, Asked };  // Asked: we offered or asked, no answer yet
    struct OptionState {
        std::uint8_t code;
        Agreed ours = Agreed::No;    // we WILL
        Agreed theirs = Agreed::No;  // the host WILL
    };

    void negotiate(std::uint8_t verb, std::uint8_t option, Decoded& out);
    void subnegotiation(Decoded& out);
    void comPort(std::uint8_t command, const QByteArray& value, Decoded& out);
    void control(std::uint8_t value, Decoded& out);
    static void answer(Decoded& out, std::uint8_t command, const QByteArray& value);
    OptionState* option(std::uint8_t code);

    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    QByteArray sub_;
    OptionState options_[3];
    bool modemStateSent_ = false;

    std::uint32_t baudRate_;
    std::uint8_t dataSize_;
    std::uint8_t parity_;    // 1 none, 2 odd, 3 even, 4 mark, 5 space
    std::uint8_t stopSize_;  // 1 one, 2 two, 3 one and a half
    std::uint8_t control_[5];
    std::uint8_t lineStateMask_ = 0;
    std::uint8_t modemStateMask_ = 255;
};

}  // namespace dravilo
