#include "terminal/frame.h"

#include <cmath>

#include "base/number_text.h"

namespace dravilo {

namespace {

const QByteArray kCrLf("\r\n", 2);

QString weightText(double weight, const QString& pattern)
{
    return Format(std::fabs(weight), pattern, u'.');
}

}  // namespace

QByteArray Zelm1Frame(double weight, const QString& pattern)
{
    QString text = weightText(weight, pattern);
    if (weight < 0)
        text = u'-' + text.mid(1);
    return "WW" + text.toLatin1() + "kg" + kCrLf;
}

QByteArray Zelm2Frame(double weight, const QString& pattern, const QString& priceText,
                      const QString& costText, QChar separator)
{
    QString cost = costText;
    cost.remove(u'-');
    return DigitField(weightText(weight, pattern)) + DigitField(priceText, separator) +
           DigitField(cost, separator) + kCrLf;
}

QByteArray DigitField(const QString& text, QChar separator)
{
    QByteArray field;
    field.reserve(text.size());
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (c == u'.' || c == u',' || c == separator)
            continue;
        field.append(c >= u'0' && c <= u'9' ? char(c.unicode() - u'0') : char(0));
    }
    return field;
}

QString HexView(const QByteArray& frame)
{
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    QString view(frame.size() * 3, Qt::Uninitialized);
    QChar* at = view.data();
    for (const char byte : frame) {
        const auto b = static_cast<unsigned char>(byte);
        *at++ = u' ';
        *at++ = kDigits[b >> 4];
        *at++ = kDigits[b & 0x0F];
    }
    return view;
}

QString ReplyHexView(const QByteArray& reply) { return HexView(reply).mid(1); }

QString TextView(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

}  // namespace dravilo
