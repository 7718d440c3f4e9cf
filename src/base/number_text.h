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

// How a text is read as a number: an optional sign, then digits with at
// most one decimal point, after any leading blanks.
struct NumberRules {
    QString points;          // the characters read as the decimal point
    bool wholeText = false;  // the number must be the whole text, blanks around it aside
};
// Nothing when the text does not begin with (or, by the rules, is not) a
// number. A number too large for a double is infinite.
std::optional<double> ScanNumber(const QString& text, const NumberRules& rules);

// The leading decimal number of a text, with ".", "," and `separator` read as
// the decimal point. A text that does not begin with a number gives 0; a
// number too large for a double gives the largest double of its sign.
double ValueOfText(const QString& text, QChar separator);

// A text that is, as a whole, a number in the locale's notation, rounded down
// to a whole number; nothing when it is not a number or lies outside 16 bits.
std::optional<std::int16_t> WholeNumber16(const QString& text, QChar separator);

// Rounded down and held within 16 bits.
std::int16_t FloorToInt16(double v);

// A number as a person would write it into a box: plain decimals, never an
// exponent, as few digits as read back to the same value.
QString PlainNumber(double v, QChar separator);

}  // namespace dravilo
