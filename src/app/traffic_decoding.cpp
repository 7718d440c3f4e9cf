#include "app/traffic_decoding.h"

#include <QRegularExpression>
#include <algorithm>
#include <span>
#include <unordered_map>
#include <vector>

#include "base/captions.h"
#include "base/number_text.h"

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

// The pattern with %1, %2 and on filled in from `places`, in one pass: a
// place's own text is never read as a pattern.
QString fill(const QString& pattern, std::span<const QString> places)
{
    QString text;
    text.reserve(pattern.size() + 64);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const int n = i + 1 < pattern.size() && pattern[i] == u'%' ? pattern[i + 1].digitValue() : -1;
        if (n >= 1 && std::size_t(n) <= places.size()) {
            text += places[std::size_t(n) - 1];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}
QString fill(const QString& pattern, std::initializer_list<QString> places)
{
    return fill(pattern, std::span(places.begin(), places.size()));
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
        return fill(in(w.digitsSoFar, language), {QString::number(digits.count)});
    return fill(in(w.priceSet, language), {PriceText(digits.price, decimals)});
}

// A host's read: the digits it gave a price that waited for them, then
// what its first byte asks for; the bytes after that are read no further.
QString requestWords(const TrafficEvent& e, std::int16_t language)
{
    const TrafficContext& c = e.context;
    QString words;
    if (c.carried.count >= 0)
        words = fill(in(w.priceDigits, language), {priceProgress(c.carried, c.priceDecimals, language)});
    if (e.bytes.isEmpty())
        return words;
    if (!words.isEmpty())
        words += in(w.then, language);
    const auto first = static_cast<std::uint8_t>(e.bytes[0]);
    if (first == 0x0B)
        return words + fill(in(w.priceSetting, language), {priceProgress(c.setting, c.priceDecimals, language)});
    words += first >= 0x0A && first <= 0x0E ? in(w.requests[first - 0x0A], language)
                                            : fill(in(w.notARequest, language), {hexByte(first)});
    if (e.size > 1)
        words += QStringLiteral("; ") + fill(in(w.bytesAfter, language), {QString::number(e.size - 1)});
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
        return fill(in(w.weightFrame, language), {in(w.unreadable, language)});
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
    named += fill(in(w.mode, language), {QString::number(e.context.mode)});
    return fill(in(w.weightFrame, language), {named});
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
        return fill(in(w.status, language), {in(w.unreadable, language)});
    return fill(in(w.status, language), {statusByteWords(1, std::uint8_t(e.bytes[0]), language) + QStringLiteral(", ") +
                                         statusByteWords(2, std::uint8_t(e.bytes[1]), language)});
}

QString zelm1Words(const TrafficEvent& e, std::int16_t language)
{
    const std::optional<Zelm1Reading> line = ReadZelm1Line(e.bytes);
    return fill(in(w.zelm1Line, language), {line ? fill(in(w.zelm1Weight, language), {line->weight, line->format})
                                                 : in(w.unreadable, language)});
}

// A phrase of the record's English, as a pattern that finds what varies in it.
struct Phrase {
    QString prefix;  // the words before the first %1, to pass most phrases by at once
    QRegularExpression english;
    std::vector<int> numbers;  // of the places, in the order they stand in the English
    const TrafficPhrase* phrase;
};

const std::vector<Phrase>& phrases()
{
    static const std::vector<Phrase> all = [] {
        static const QRegularExpression place(QStringLiteral("%(\\d)"));
        std::vector<Phrase> compiled;
        for (const TrafficPhrase& p : TrafficPhrases()) {
            const QString english = QString::fromUtf16(p.text.english);
            Phrase phrase{{}, {}, {}, &p};
            QString pattern = QStringLiteral("^");
            qsizetype at = 0;
            for (const QRegularExpressionMatch& m : place.globalMatch(english)) {
                if (phrase.numbers.empty())
                    phrase.prefix = english.left(m.capturedStart());
                pattern += QRegularExpression::escape(english.mid(at, m.capturedStart() - at));
                pattern += QStringLiteral("(.+?)");
                phrase.numbers.push_back(m.captured(1).toInt());
                at = m.capturedEnd();
            }
            if (phrase.numbers.empty())
                phrase.prefix = english;
            phrase.english.setPattern(pattern + QRegularExpression::escape(english.mid(at)) + u'$');
            compiled.push_back(std::move(phrase));
        }
        return compiled;
    }();
    return all;
}

// The phrase the words are, and what stands in its places, %1 first.
const Phrase* phraseOf(const QString& words, std::vector<QString>* places = nullptr)
{
    for (const Phrase& phrase : phrases()) {
        if (!words.startsWith(phrase.prefix))
            continue;
        const QRegularExpressionMatch m = phrase.english.match(words);
        if (!m.hasMatch())
            continue;
        if (places) {
            places->assign(phrase.numbers.size(), QString());
            for (std::size_t i = 0; i < phrase.numbers.size(); ++i)
                places->at(std::size_t(phrase.numbers[i]) - 1) = m.captured(int(i) + 1);
        }
        return &phrase;
    }
    return nullptr;
}

// The record's English words in the window's language, where they are a
// phrase it knows; the port's own texts (a device's error) stay as they are.
QString translated(const QString& words, std::int16_t language)
{
    if (language == 0)
        return words;
    std::vector<QString> places;
    const Phrase* phrase = phraseOf(words, &places);
    return phrase ? fill(in(phrase->phrase->text, language), places) : words;
}

QString hexOf(const TrafficEvent& e, std::int16_t language)
{
    QString hex = TrafficHex(e.bytes);
    if (e.size > e.bytes.size())
        hex += u' ' + fill(in(w.bytesInAll, language), {QString::number(e.size)});
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
    case TrafficKind::Words: return translated(event.words, language);
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
        lines << fill(in(w.bytesInAll, language), {QString::number(event.size)});
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
    const Phrase* phrase = phraseOf(event.words);
    return phrase && phrase->phrase->fault;
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
