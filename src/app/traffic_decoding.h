#pragma once

// What the traffic's bytes mean, and the words of its events: English for
// the log, the "traffic" command and the saved file, which scripts read;
// the window's language in the traffic panel. The words are made here, when
// an event is read, from the facts the record kept.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "program/traffic.h"

namespace dravilo {

// How a host reads a ZELM-2 weight frame: three fields of digit bytes, least
// significant first, then CR LF; the decimal points where S2 (and, where its
// price bits are both set, the price format in force) puts them.
struct FrameLayout {
    int weightDigits = 6, priceDigits = 6;  // bytes of the first two fields; the cost has the rest
    int weightDecimals = 1, priceDecimals = 2;
};
struct FieldReading {
    QByteArrayView bytes;  // as on the line, of the frame read
    QString value;         // "0012.50"
};
// Weight, price and cost; nothing when the bytes are no such frame.
std::optional<std::array<FieldReading, 3>> ReadWeightFrame(const QByteArray& frame, const FrameLayout& layout);

// A ZELM-1 line: its weight as written ("-0012.5") and the weight format
// its decimals are of ("00000.0"); nothing when the bytes are no such line.
struct Zelm1Reading {
    QString weight, format;
};
std::optional<Zelm1Reading> ReadZelm1Line(const QByteArray& line);

// The set bits of S1 (`statusByte` 1) or S2 (2), D7 first, named as their boxes are.
QStringList SetStatusBits(int statusByte, std::uint8_t value, std::int16_t language);

// A price as the price format of so many decimals writes it: "0010.24".
QString PriceText(double price, int decimals);

// The parts of an event as the panel's columns show them.
enum class TrafficField { Time, Direction, Hex, Text, What };
constexpr int kTrafficFields = 5;
QString TrafficFieldOf(const TrafficEvent& event, TrafficField field, std::int16_t language);

// What an event is, and what its bytes mean: "weight frame: weight 0012.50,
// price 0010.24, cost 0128.00 (mode 0)".
QString TrafficWhat(const TrafficEvent& event, std::int16_t language);
// The same opened up: every byte in HEX and, field by field, what it holds.
QString TrafficDetails(const TrafficEvent& event, std::int16_t language);
// What a line fault did.
bool IsLineFault(const TrafficEvent& event);

// One event as one line of English text, the same in the panel's file, the
// log and the channel's answer: 20:45:01.123 from-host 0A "." weight request
QString TrafficLine(const TrafficEvent& event);

}  // namespace dravilo
