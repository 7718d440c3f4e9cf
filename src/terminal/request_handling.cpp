#include "terminal/request_handling.h"

#include "program/program.h"
#include "simulation/weight_setting.h"
#include "terminal/frame.h"
#include "terminal/periodic_transmission.h"
#include "terminal/sending.h"

namespace dravilo {

namespace {

constexpr char kWeightRequest = 0x0A;
constexpr char kPriceSetting = 0x0B;
constexpr char kNetRequest = 0x0C;
constexpr char kTakeOffRequest = 0x0D;
constexpr char kStatusRequest = 0x0E;

// Replies are sent even if the port has closed since the request came: the
// error is only recorded, the views show what was meant to go out.
void sendReply(Program& p, const QByteArray& reply, const QString& what)
{
    SendToHost(p, reply, what);
    p.form.Text3.setText(TextView(reply));
    p.form.Text6.setText(ReplyHexView(reply));
}

void acknowledge(Program& p) { sendReply(p, QByteArray("\r\n", 2), QStringLiteral("acknowledgement")); }

QString hexByte(std::uint8_t byte) { return QStringLiteral("%1").arg(byte, 2, 16, QChar(u'0')).toUpper(); }

// A digit byte b becomes the character b + 48, newest first. Bytes of 208
// and more give characters above Latin-1; they are no digits, so the price
// reads them as the end of its number, like any other non-digit.
void collectPriceDigits(Program& p, const QByteArray& bytes)
{
    QString newestFirst;
    newestFirst.reserve(bytes.size());
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte)
        newestFirst += QChar(char16_t(static_cast<unsigned char>(*byte) + 48));
    p.state.strPriceDigits.prepend(newestFirst);
}

// What the bytes of a price setting made of it so far.
QString completePrice(Program& p)
{
    TerminalState& s = p.state;
    if (s.strPriceDigits.size() <= 5) {
        s.intPriceEntry = 1;
        return QStringLiteral("%1 of 6 digits so far").arg(s.strPriceDigits.size());
    }
    s.strPriceDigits.truncate(6);
    s.dblPrice = p.value(s.strPriceDigits) / s.intPriceDivisor;
    p.form.Text11.setText(p.format(s.dblPrice, s.strPriceFormat));
    s.intPriceEntry = 0;
    return QStringLiteral("price set to ") + p.form.Text11.text();
}

// A request's reading: its name, or why it is none. Bytes after the first
// are no requests of their own (a price's digits aside).
QString requestReading(const QByteArray& bytes)
{
    static const char* const names[] = {"weight request", "price setting", "net request", "take-off request",
                                        "status request"};
    const auto first = static_cast<std::uint8_t>(bytes[0]);
    QString reading = first >= kWeightRequest && first <= kStatusRequest
                          ? QLatin1String(names[first - kWeightRequest])
                          : QStringLiteral("0x%1: not a request, no reply").arg(hexByte(first));
    if (bytes.size() > 1 && first != kPriceSetting)
        reading += QStringLiteral("; the %1 bytes after it are not read as requests").arg(bytes.size() - 1);
    return reading;
}

}  // namespace

void MSComm1_OnComm(Program& p)
{
    if (p.MSComm1.commEvent() != comEvReceive)
        return;
    if (p.settings.intTerminalType != 0) {
        p.record(TrafficDirection::FromHost, {}, QStringLiteral("ZELM-1 is selected: nothing read"));
        return;
    }
    const QByteArray text = p.MSComm1.input();

    // A price still waiting for digits takes them from what arrived, and
    // the first byte still counts as a request of its own.
    QStringList reading;
    bool priceTaken = false;
    if (p.state.intPriceEntry == 1) {
        collectPriceDigits(p, text);
        reading << QStringLiteral("price digits: ") + completePrice(p);
        priceTaken = p.state.intPriceEntry == 0;
    }
    if (!text.isEmpty() && text[0] == kPriceSetting) {
        p.state.strPriceDigits.clear();
        collectPriceDigits(p, text.mid(1));
        reading << QStringLiteral("price setting: ") + completePrice(p);
    } else if (!text.isEmpty()) {
        reading << requestReading(text);
    }
    p.record(TrafficDirection::FromHost, text, reading.join(QStringLiteral("; then ")));
    if (priceTaken)
        acknowledge(p);
    if (text.isEmpty())
        return;
    switch (text[0]) {
    case kWeightRequest:
        SendWeightFrame(p);
        break;
    case kPriceSetting:
        if (p.state.intPriceEntry == 0)
            acknowledge(p);
        break;
    case kNetRequest:
        p.form.Check1[D0].setValue(1);
        acknowledge(p);
        break;
    case kTakeOffRequest:
        Command3_Click(p);
        acknowledge(p);
        break;
    case kStatusRequest: {
        QByteArray status;
        status.append(char(p.state.bytS1)).append(char(p.state.bytS2)).append("\r\n", 2);
        sendReply(p, status, QStringLiteral("status: S1=%1 S2=%2").arg(hexByte(p.state.bytS1), hexByte(p.state.bytS2)));
        break;
    }
    default:
        break;
    }
}

}  // namespace dravilo
