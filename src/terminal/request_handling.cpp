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
void sendReply(Program& p, const QByteArray& reply, TrafficKind kind)
{
    SendToHost(p, reply, kind);
    p.form.Text3.setText(TextView(reply));
    p.form.Text6.setText(ReplyHexView(reply));
}

void acknowledge(Program& p) { sendReply(p, QByteArray("\r\n", 2), TrafficKind::Acknowledgement); }

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
PriceDigits completePrice(Program& p)
{
    TerminalState& s = p.state;
    if (s.strPriceDigits.size() <= 5) {
        s.intPriceEntry = 1;
        return {std::int8_t(s.strPriceDigits.size()), 0};
    }
    s.strPriceDigits.truncate(6);
    s.dblPrice = p.value(s.strPriceDigits) / s.intPriceDivisor;
    p.form.Text11.setText(p.format(s.dblPrice, s.strPriceFormat));
    s.intPriceEntry = 0;
    return {6, s.dblPrice};
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
    // The request and its reply reach the log once the reply is out.
    const Traffic::Hold hold(p.traffic);

    // A price still waiting for digits takes them from what arrived, and
    // the first byte still counts as a request of its own.
    TrafficContext reading = TerminalContext(p);
    bool priceTaken = false;
    if (p.state.intPriceEntry == 1) {
        collectPriceDigits(p, text);
        reading.carried = completePrice(p);
        priceTaken = p.state.intPriceEntry == 0;
    }
    if (!text.isEmpty() && text[0] == kPriceSetting) {
        p.state.strPriceDigits.clear();
        collectPriceDigits(p, text.mid(1));
        reading.setting = completePrice(p);
    }
    RecordTerminalEvent(p, TrafficDirection::FromHost, TrafficKind::Request, text, reading);
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
        sendReply(p, status, TrafficKind::StatusReply);
        break;
    }
    default:
        break;
    }
}

}  // namespace dravilo
