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

// COM 1 to COM 255.
constexpr bool IsPortNumber(int number) { return number >= 1 && number <= 255; }

// Nothing when the text is not four valid fields joined by commas.
std::optional<LineSettings> ParseLineSettings(const QString& text);

}  // namespace dravilo
