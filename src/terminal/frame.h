#pragma once

// The weight frames on the line and their views. Bytes are bytes: a frame is
// a QByteArray; its text view maps every byte to the Latin-1 character of the
// same code.

#include <QByteArray>
#include <QString>

namespace dravilo {

// "WW", the weight in `pattern` with "." and a sign in its first position
// when negative, "kg", CR LF.
QByteArray Zelm1Frame(double weight, const QString& pattern);

// Weight, price and cost as unpacked digits, least significant first, CR LF.
// Price and cost come from the texts the terminal display shows, written
// with the locale's `separator`.
QByteArray Zelm2Frame(double weight, const QString& pattern, const QString& priceText,
                      const QString& costText, QChar separator);

// One byte per character other than a decimal point, its digit value (0 for
// a non-digit), in reverse order. ".", "," and `separator` are decimal points.
QByteArray DigitField(const QString& text, QChar separator = u'.');

// " 57 57 30" for a frame: every byte after a blank.
QString HexView(const QByteArray& frame);
// "0D 0A" for a short reply: the bytes separated by blanks.
QString ReplyHexView(const QByteArray& reply);

QString TextView(const QByteArray& bytes);

}  // namespace dravilo
