#include "base/number_text.h"

#include <QLocale>
#include <array>
#include <cmath>
#include <limits>

namespace dravilo {

namespace {

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Adds one to the last digit of a string of decimal digits; true when the
// carry runs out of the front.
bool incrementDigits(QString& digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return false;
        }
        digits[i] = u'0';
    }
    return true;
}

}  // namespace

namespace {

QString formatted(double v, const QString& pattern, QChar separator)
{
    if (std::isnan(v))
        v = 0;
    if (std::isinf(v))
        v = std::copysign(std::numeric_limits<double>::max(), v);

    const qsizetype point = pattern.indexOf(u'.');
    const int intDigits = static_cast<int>(point < 0 ? pattern.size() : point);
    const int decimals = static_cast<int>(point < 0 ? 0 : pattern.size() - point - 1);

    // Fifteen significant digits first, as the value is meant, then decimal
    // rounding: 2.675 becomes 2.68 although its binary value lies below.
    const QString sci = QString::number(std::fabs(v), 'e', 14);  // d.dddddddddddddde±x
    const QString mantissa = sci.left(1) + sci.mid(2, 14);
    const int exponent = sci.mid(sci.indexOf(u'e') + 1).toInt();
    const int pointAt = exponent + 1;  // digits before the decimal point

    QString whole, fraction;
    if (pointAt <= 0) {
        whole = QStringLiteral("0");
        fraction = QString(-pointAt, u'0') + mantissa;
    } else if (pointAt >= mantissa.size()) {
        whole = mantissa + QString(pointAt - mantissa.size(), u'0');
    } else {
        whole = mantissa.left(pointAt);
        fraction = mantissa.mid(pointAt);
    }
    fraction = fraction.leftJustified(decimals + 1, u'0');
    const bool roundUp = fraction[decimals] >= u'5';
    fraction.truncate(decimals);
    if (roundUp) {
        QString digits = whole + fraction;
        if (incrementDigits(digits))
            digits.prepend(u'1');
        whole = digits.left(digits.size() - decimals);
        fraction = digits.right(decimals);
    }
    while (whole.size() > 1 && whole[0] == u'0')
        whole.remove(0, 1);
    whole = whole.rightJustified(intDigits, u'0');

    QString text = v < 0 ? QStringLiteral("-") : QString();
    text += whole;
    if (decimals > 0)
        text += separator + fraction;
    return text;
}

}  // namespace

QString Format(double v, const QString& pattern, QChar separator)
{
    // Each frame refreshes the displays, mostly with the values they already
    // show: the last few results are kept, so an unchanged one costs a look.
    struct Kept {
        double value;
        QString pattern;
        QChar separator;
        QString text;
    };
    static std::array<Kept, 8> kept;
    static std::size_t next = 0;
    for (const Kept& k : kept)
        if (k.value == v && k.separator == separator && k.pattern == pattern && !k.text.isEmpty())
            return k.text;
    Kept& fresh = kept[next++ % kept.size()];
    fresh = {v, pattern, separator, formatted(v, pattern, separator)};
    return fresh.text;
}

std::optional<double> ScanNumber(const QString& text, const NumberRules& rules)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QString number;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        number += text[i++];
    bool anyDigit = false;
    bool pointSeen = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            number += c;
            anyDigit = true;
        } else if (rules.points.contains(c) && !pointSeen) {
            number += u'.';
            pointSeen = true;
        } else {
            break;
        }
    }
    if (!anyDigit || (rules.wholeText && !text.mid(i).trimmed().isEmpty()))
        return std::nullopt;
    return number.toDouble();  // C locale, always "."
}

double ValueOfText(const QString& text, QChar separator)
{
    const double value = ScanNumber(text, {QStringLiteral(".,") + separator}).value_or(0);
    if (std::isinf(value))
        return std::copysign(std::numeric_limits<double>::max(), value);
    return value;
}

std::optional<std::int16_t> WholeNumber16(const QString& text, QChar separator)
{
    const std::optional<double> number = ScanNumber(text, {QString(separator), true});
    if (!number)
        return std::nullopt;
    const double whole = std::floor(*number);
    if (!(whole >= -32768 && whole <= 32767))
        return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

std::int16_t FloorToInt16(double v)
{
    const double whole = std::floor(v);
    if (std::isnan(whole))
        return 0;
    if (whole < -32768)
        return -32768;
    if (whole > 32767)
        return 32767;
    return static_cast<std::int16_t>(whole);
}

QString PlainNumber(double v, QChar separator)
{
    return QString::number(v, 'f', QLocale::FloatingPointShortest).replace(u'.', separator);
}

}  // namespace dravilo
