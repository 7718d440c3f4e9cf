#pragma once

// The settings text of a serial line, "9600,n,8,1": rate, parity letter,
// data bits, stop bits.

#include <QString>
#include <optional>

namespace dravilo {

struct LineSettings {
    int baudRate = 9600;
    QChar parity = u'n';  // n, e, o, s or m
    int dataBits = 8;     // 5 to 8
    int stopBits = 1;     // 1 or 2

    QString text() const;
};

// The shape of a byte on the wire, as a UART at either end of a line has it
// set. Stop bits are counted in halves: 2 for one, 3 for one and a half, 4
// for two.
struct UartFraming {
    int rate = 9600;
    int dataBits = 8;
    QChar parity = u'n';  // n, e, o, m or s
    int stopHalves = 2;

    bool operator==(const UartFraming&) const = default;
    int halfBitsPerByte() const { return 2 * (1 + dataBits + (parity == u'n' ? 0 : 1)) + stopHalves; }
    // From the start of a byte to the end of its last stop bit.
    long long byteNs() const { return halfBitsPerByte() * 500'000'000LL / rate; }
    QString text() const;  // "19200,e,8,1", "9600,n,8,1.5"
};

UartFraming FramingOf(const LineSettings& settings);

// COM 1 to COM 255.
constexpr bool IsPortNumber(int number) { return number >= 1 && number <= 255; }

// Nothing when the text is not four valid fields joined by commas.
std::optional<LineSettings> ParseLineSettings(const QString& text);

}  // namespace dravilo
