#include "terminal/request_handling.h"

#include "program/program.h"
#include "simulation/weight_setting.h"
#include "terminal/frame.h"
#include "terminal/periodic_transmission.h"

namespace dravilo {

namespace {

constexpr char kWeightRequest = 0x0A;
constexpr char kPriceSetting = 0x0B;
constexpr char kNetRequest = 0x0C;
constexpr char kTakeOffRequest = 0x0D;
constexpr char kStatusRequest = 0x0E;

// Replies are sent even if the port has closed since the request came: the
// error is ignored, the views show what was meant to go out.
void sendReply(Program& p, const QByteArray& reply)
{
    p.MSComm1.output(reply);
    p.form.Text3.setText(TextView(reply));
    p.form.Text6.setText(ReplyHexView(reply));
}

void acknowledge(Program& p) { sendReply(p, QByteArray("\r\n", 2)); }

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

void completePrice(Program& p)
{
    TerminalState& s = p.state;
    if (s.strPriceDigits.size() <= 5) {
        s.intPriceEntry = 1;
        return;
    }
    s.strPriceDigits.truncate(6);
    s.dblPrice = p.value(s.strPriceDigits) / s.intPriceDivisor;
    p.form.Text11.setText(p.format(s.dblPrice, s.strPriceFormat));
    s.intPriceEntry = 0;
    acknowledge(p);
}

}  // namespace

void MSComm1_OnComm(Program& p)
{
    if (p.settings.intTerminalType != 0)
        return;
    if (p.MSComm1.commEvent() != comEvReceive)
        return;
    const QByteArray text = p.MSComm1.input();

    if (p.state.intPriceEntry == 1) {
        collectPriceDigits(p, text);
        completePrice(p);
    }
    if (text.isEmpty())
        return;
    switch (text[0]) {
    case kWeightRequest:
        SendWeightFrame(p);
        break;
    case kPriceSetting:
        p.state.strPriceDigits.clear();
        collectPriceDigits(p, text.mid(1));
        completePrice(p);
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
        sendReply(p, status);
        break;
    }
    default:
        break;
    }
}

}  // namespace dravilo
