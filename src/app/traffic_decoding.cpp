#include "app/traffic_decoding.h"

#include <QRegularExpression>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "base/captions.h"
#include "base/number_text.h"
#include "base/phrases.h"

namespace dravilo {

namespace {

const TrafficWords& w = kTrafficWords;
const QByteArray kCrLf("\r\n", 2);
const QString kWeightFormats[] = {QStringLiteral("000000"), QStringLiteral("00000.0"), QStringLiteral("0000.00"),
                                  QStringLiteral("000.000")};

// A field's digit bytes, least significant first, as the number they write.
std::optional<QString> digitsOf(QByteArrayView field, int decimals)
{
    QString digits;
    digits.reserve(field.size() + 1);
    for (auto byte = field.rbegin(); byte != field.rend(); ++byte) {
        if (*byte < 0 || *byte > 9)
            return std::nullopt;
        digits += QChar(u'0' + *byte);
    }
    if (decimals > 0)
        digits.insert(std::max<qsizetype>(0, digits.size() - decimals), u'.');
    return digits;
}

QString hexByte(std::uint8_t byte) { return TrafficHex(QByteArray(1, char(byte))); }

// A word in a language, made once: the log reads a few of them at every event.
const QString& in(const Bilingual& words, std::int16_t language)
{
    static std::unordered_map<const Bilingual*, std::array<QString, 2>> made;
    QString& text = made[&words][language == 0 ? 0 : 1];
    if (text.isNull())
        text = words.in(language);
    return text;
}

QString direction(TrafficDirection d, std::int16_t language)
{
    switch (d) {
    case TrafficDirection::FromHost: return in(w.fromHost, language);
    case TrafficDirection::ToHost: return in(w.toHost, language);
    case TrafficDirection::Program: return in(w.program, language);
    }
    return {};
}

// "4 of 6 digits so far", or "price set to 0010.24".
QString priceProgress(const PriceDigits& digits, int decimals, std::int16_t language)
{
    if (digits.count < 6)
        return Fill(in(w.digitsSoFar, language), {QString::number(digits.count)});
    return Fill(in(w.priceSet, language), {PriceText(digits.price, decimals)});
}

// A host's read: the digits it gave a price that waited for them, then
// what its first byte asks for; the bytes after that are read no further.
QString requestWords(const TrafficEvent& e, std::int16_t language)
{
    const TrafficContext& c = e.context;
    QString words;
    if (c.carried.count >= 0)
        words = Fill(in(w.priceDigits, language), {priceProgress(c.carried, c.priceDecimals, language)});
    if (e.bytes.isEmpty())
        return words;
    if (!words.isEmpty())
        words += in(w.then, language);
    const auto first = static_cast<std::uint8_t>(e.bytes[0]);
    if (first == 0x0B)
        return words + Fill(in(w.priceSetting, language), {priceProgress(c.setting, c.priceDecimals, language)});
    words += first >= 0x0A && first <= 0x0E ? in(w.requests[first - 0x0A], language)
                                            : Fill(in(w.notARequest, language), {hexByte(first)});
    if (e.size > 1)
        words += QStringLiteral("; ") + Fill(in(w.bytesAfter, language), {QString::number(e.size - 1)});
    return words;
}

FrameLayout layoutOf(const TrafficContext& c)
{
    return {c.weightDigits, c.priceDigits, c.s2 & 3, c.priceDecimals};
}

// "weight 0012.50, price 0010.24, cost 0128.00 (mode 0)"
QString frameWords(const TrafficEvent& e, std::int16_t language)
{
    const auto fields = ReadWeightFrame(e.bytes, layoutOf(e.context));
    if (!fields)
        return Fill(in(w.weightFrame, language), {in(w.unreadable, language)});
    QString named;
    named.reserve(96);
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            named += QStringLiteral(", ");
        named += in(w.frameFields[e.context.mode][i], language);
        named += u' ';
        named += (*fields)[std::size_t(i)].value;
    }
    named += u' ';
    named += Fill(in(w.mode, language), {QString::number(e.context.mode)});
    return Fill(in(w.weightFrame, language), {named});
}

// "S1=81 (D7-Tara, D0-Neto)"
QString statusByteWords(int statusByte, std::uint8_t value, std::int16_t language)
{
    QString text = QStringLiteral("S%1=%2").arg(statusByte).arg(hexByte(value));
    const QStringList bits = SetStatusBits(statusByte, value, language);
    if (!bits.isEmpty())
        text += QStringLiteral(" (") + bits.join(QStringLiteral(", ")) + u')';
    return text;
}

QString statusWords(const TrafficEvent& e, std::int16_t language)
{
    if (e.bytes.size() != 4 || !e.bytes.endsWith(kCrLf))
        return Fill(in(w.status, language), {in(w.unreadable, language)});
    return Fill(in(w.status, language), {statusByteWords(1, std::uint8_t(e.bytes[0]), language) + QStringLiteral(", ") +
                                         statusByteWords(2, std::uint8_t(e.bytes[1]), language)});
}

QString zelm1Words(const TrafficEvent& e, std::int16_t language)
{
    const std::optional<Zelm1Reading> line = ReadZelm1Line(e.bytes);
    return Fill(in(w.zelm1Line, language), {line ? Fill(in(w.zelm1Weight, language), {line->weight, line->format})
                                                 : in(w.unreadable, language)});
}

QString hexOf(const TrafficEvent& e, std::int16_t language)
{
    QString hex = TrafficHex(e.bytes);
    if (e.size > e.bytes.size())
        hex += u' ' + Fill(in(w.bytesInAll, language), {QString::number(e.size)});
    return hex;
}

}  // namespace

std::optional<std::array<FieldReading, 3>> ReadWeightFrame(const QByteArray& frame, const FrameLayout& layout)
{
    const qsizetype costDigits = frame.size() - 2 - layout.weightDigits - layout.priceDigits;
    if (layout.weightDigits < 1 || layout.priceDigits < 1 || costDigits < 1 || !frame.endsWith(kCrLf))
        return std::nullopt;
    const QByteArrayView bytes(frame);
    const QByteArrayView fields[3] = {bytes.first(layout.weightDigits),
                                      bytes.sliced(layout.weightDigits, layout.priceDigits),
                                      bytes.sliced(layout.weightDigits + layout.priceDigits, costDigits)};
    const int decimals[3] = {layout.weightDecimals, layout.priceDecimals, layout.priceDecimals};
    std::array<FieldReading, 3> read;
    for (std::size_t i = 0; i < 3; ++i) {
        std::optional<QString> value = digitsOf(fields[i], decimals[i]);
        if (!value)
            return std::nullopt;
        read[i] = {fields[i], std::move(*value)};
    }
    return read;
}

std::optional<Zelm1Reading> ReadZelm1Line(const QByteArray& line)
{
    static const QRegularExpression shape(QStringLiteral("^WW(-?[0-9]+(?:\\.([0-9]{1,3}))?)kg\r\n$"));
    const QRegularExpressionMatch m = shape.match(QString::fromLatin1(line));
    if (!m.hasMatch())
        return std::nullopt;
    return Zelm1Reading{m.captured(1), kWeightFormats[m.capturedLength(2)]};
}

QStringList SetStatusBits(int statusByte, std::uint8_t value, std::int16_t language)
{
    QStringList bits;
    for (int bit = 7; bit >= 0; --bit)
        if (value & (1 << bit))
            bits << StatusFlagCaption(statusByte, bit).in(language);
    return bits;
}

QString PriceText(double price, int decimals)
{
    return Format(price, kWeightFormats[std::clamp(decimals, 0, 2)], u'.');
}

QString TrafficFieldOf(const TrafficEvent& event, TrafficField field, std::int16_t language)
{
    switch (field) {
    case TrafficField::Time: return TrafficTime(event.time);
    case TrafficField::Direction: return direction(event.direction, language);
    case TrafficField::Hex: return hexOf(event, language);
    case TrafficField::Text: return TrafficText(event.bytes);
    case TrafficField::What: return TrafficWhat(event, language);
    }
    return {};
}

QString TrafficWhat(const TrafficEvent& event, std::int16_t language)
{
    switch (event.kind) {
    case TrafficKind::Words: return InLanguage(event.words, language);
    case TrafficKind::Request: return requestWords(event, language);
    case TrafficKind::WeightFrame: return frameWords(event, language);
    case TrafficKind::Zelm1Line: return zelm1Words(event, language);
    case TrafficKind::Acknowledgement: return in(w.acknowledgement, language);
    case TrafficKind::StatusReply: return statusWords(event, language);
    }
    return {};
}

QString TrafficDetails(const TrafficEvent& event, std::int16_t language)
{
    QStringList lines;
    // Sixteen bytes a line, as a hex dump has them.
    for (qsizetype at = 0; at < event.bytes.size(); at += 16)
        lines << TrafficHex(event.bytes.mid(at, 16));
    if (event.size > event.bytes.size())
        lines << Fill(in(w.bytesInAll, language), {QString::number(event.size)});
    lines << TrafficWhat(event, language);
    if (event.kind == TrafficKind::WeightFrame) {
        if (const auto fields = ReadWeightFrame(event.bytes, layoutOf(event.context))) {
            for (int i = 0; i < 3; ++i) {
                const FieldReading& f = (*fields)[std::size_t(i)];
                lines << QStringLiteral("%1: %2 → %3")
                             .arg(in(w.frameFields[event.context.mode][i], language),
                                  TrafficHex(f.bytes.toByteArray()), f.value);
            }
        }
    } else if (event.kind == TrafficKind::StatusReply && event.bytes.size() == 4) {
        for (int i = 0; i < 2; ++i) {
            const auto value = std::uint8_t(event.bytes[i]);
            lines << QStringLiteral("S%1 = %2 = %3: %4")
                         .arg(i + 1)
                         .arg(hexByte(value))
                         .arg(value, 8, 2, QChar(u'0'))
                         .arg(SetStatusBits(i + 1, value, language).join(QStringLiteral(", ")));
        }
    }
    return lines.join(u'\n');
}

bool IsLineFault(const TrafficEvent& event)
{
    if (event.kind != TrafficKind::Words)
        return false;
    const TrafficPhrase* phrase = PhraseOf(event.words);
    return phrase && phrase->fault;
}

QString TrafficLine(const TrafficEvent& event)
{
    const QString what = TrafficWhat(event, 0);
    QString line;
    line.reserve(24 + event.bytes.size() * 4 + what.size());
    line += TrafficTime(event.time);
    line += u' ';
    line += direction(event.direction, 0);
    if (!event.bytes.isEmpty()) {
        line += u' ';
        line += hexOf(event, 0);
        line += QStringLiteral(" \"");
        line += TrafficText(event.bytes);
        line += u'"';
    }
    line += u' ';
    line += what;
    return line;
}

}  // namespace dravilo
