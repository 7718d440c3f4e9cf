#include "terminal/periodic_transmission.h"

#include "program/program.h"
#include "terminal/build_frame.h"
#include "terminal/frame.h"
#include "terminal/sending.h"
#include "base/number_text.h"

namespace dravilo {

namespace {

// Label18 and Label19: the port number and settings in use.
void showPortLine(Program& p)
{
    p.form.Label18.setCaption(QString::number(p.MSComm1.commPort()));
    p.form.Label19.setCaption(p.MSComm1.settings());
}

void showFrame(Program& p)
{
    p.form.Text3.setText(TextView(p.state.strFrame));
    p.form.Text6.setText(HexView(p.state.strFrame));
}

// The send-period input as a whole number of milliseconds, if it is one.
std::optional<std::int16_t> sendPeriodInput(const Program& p)
{
    return WholeNumber16(p.form.Text1[0].text(), p.platform.decimalSeparator());
}

}  // namespace

void LightSendLamp(Program& p)
{
    p.form.Shape3.setFillColour(kRed);
    p.form.Timer4.setEnabled(true);
}

void Timer4_Timer(Program& p)
{
    p.form.Timer4.setEnabled(false);
    p.form.Shape3.setFillColour(p.platform.windowBackground());
}

void SendWeightFrame(Program& p)
{
    Form1& f = p.form;
    TerminalState& s = p.state;
    showPortLine(p);
    BuildFrame(p);
    showFrame(p);
    f.Text5.setText(p.format(s.dblWeight, s.strWeightFormat));
    if (p.settings.intTerminalType == 1) {  // the ZELM-1 line also refreshes the hidden price and cost
        s.dblCost = s.dblPrice * s.dblWeight;
        p.showPriceAndCost(s.dblPrice, s.dblCost);
    }
    f.Label12.setCaption(QString::number(f.Timer1.interval()));
    // A closed or broken port only loses this frame; the views already show it.
    SendToHost(p, s.strFrame, p.settings.intTerminalType == 1 ? TrafficKind::Zelm1Line : TrafficKind::WeightFrame);
}

void Timer1_Timer(Program& p)
{
    if (p.settings.intTerminalType == 1)
        SendWeightFrame(p);
}

void Command4_Click(Program& p)
{
    const std::optional<std::int16_t> period = sendPeriodInput(p);
    p.settings.intSendPeriod = period && *period >= 1 ? *period : kDefaultSendPeriod;
    p.form.Text1[0].setText(QString::number(p.settings.intSendPeriod));
    p.form.Timer1.setInterval(p.settings.intSendPeriod);
}

}  // namespace dravilo
