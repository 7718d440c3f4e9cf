#pragma once

// The two conversions between numbers and the texts a person types or sees.

#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

namespace dravilo {

// v rounded to the pattern's decimals (ties away from zero), padded with
// leading zeros to the pattern's integer digits, "-" in front when v < 0,
// `separator` as the decimal point. Integer digits beyond the pattern are
// kept. Patterns: "000000", "00000.0", "0000.00", "000.000".
QString Format(double v, const QString& pattern, QChar separator);

// The leading decimal number of a text, with "," read as ".". Leading blanks
// are skipped; a text that does not begin with a number gives 0; a number too
// large for a double gives the largest double of its sign.
double ValueOfText(const QString& text);

// A text that is, as a whole, a number in the locale's notation, rounded down
// to a whole number; nothing when it is not a number or lies outside 16 bits.
std::optional<std::int16_t> WholeNumber16(const QString& text, QChar separator);

// Rounded down and held within 16 bits.
std::int16_t FloorToInt16(double v);

}  // namespace dravilo
