#include "terminal/periodic_transmission.h"

#include "app/program.h"
#include "terminal/build_frame.h"
#include "terminal/frame.h"
#include "terminal/number_text.h"

namespace dravilo {

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

void ShowPortLine(Program& p)
{
    p.form.Label18.setCaption(QString::number(p.MSComm1.commPort()));
    p.form.Label19.setCaption(p.MSComm1.settings());
}

void ShowFrame(Program& p)
{
    p.form.Text3.setText(TextView(p.state.strFrame));
    p.form.Text6.setText(HexView(p.state.strFrame));
}

void Timer1_Timer(Program& p)
{
    if (p.settings.intTerminalType != 1)
        return;
    Form1& f = p.form;
    TerminalState& s = p.state;
    ShowPortLine(p);
    BuildFrame(p);
    ShowFrame(p);
    f.Text5.setText(p.format(s.dblWeight, s.strWeightFormat));
    f.Text8.setText(p.format(s.dblPrice, s.strPriceFormat));
    s.dblCost = s.dblPrice * s.dblWeight;
    f.Text10.setText(p.format(s.dblCost, s.strPriceFormat));
    f.Label12.setCaption(QString::number(f.Timer1.interval()));
    // A closed or broken port only loses this frame; the next tick tries again.
    p.MSComm1.output(s.strFrame);
}

std::optional<std::int16_t> SendPeriodInput(const Program& p)
{
    return WholeNumber16(p.form.Text1[0].text(), p.platform.decimalSeparator());
}

void Command4_Click(Program& p)
{
    const std::optional<std::int16_t> period = SendPeriodInput(p);
    p.settings.intSendPeriod = period && *period >= 1 ? *period : std::int16_t(150);
    p.form.Text1[0].setText(QString::number(p.settings.intSendPeriod));
    p.form.Timer1.setInterval(p.settings.intSendPeriod);
}

}  // namespace dravilo
