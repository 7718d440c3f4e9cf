#include "terminal/terminal_type.h"

#include "base/captions.h"
#include "program/program.h"
#include "simulation/weight_setting.h"
#include "terminal/status_flags.h"

namespace dravilo {

namespace {

// Only the ZELM-2 terminal displays a price and a cost.
void showPriceAndCost(Form1& f, bool shown)
{
    f.Text8.setVisible(shown);
    f.Text10.setVisible(shown);
    f.Label25.setVisible(shown);
    f.Label26.setVisible(shown);
}

}  // namespace

void Option1_Click(Program& p)
{
    Form1& f = p.form;
    if (f.Option1[0].value()) {
        f.Frame7.setVisible(true);
        f.Timer1.setEnabled(false);  // a ZELM-2 terminal sends nothing on its own
        f.Text3.setText(QString());
        f.Text6.setText(QString());
        f.Text5.setText(QString());
        p.platform.beep();
        p.settings.intTerminalType = 0;
        f.Frame4.setCaption(kZelm2Display.in(p.settings.intLanguage));
        showPriceAndCost(f, true);
        ShowModeCaptions(p);
        Command3_Click(p);
    }
    if (f.Option1[1].value()) {
        f.Frame7.setVisible(false);
        f.Timer1.setEnabled(true);
        p.settings.intTerminalType = 1;
        showPriceAndCost(f, false);
        f.Label10.setCaption(kWeightCaption.in(p.settings.intLanguage));
        f.Frame4.setCaption(kZelm1Display.in(p.settings.intLanguage));
        Command3_Click(p);
    }
}

void Text11_Change(Program& p)
{
    TerminalState& s = p.state;
    s.dblPrice = p.value(p.form.Text11.text());
    if (s.intMode != 0)
        return;
    // The cost of the weight the scales settle at: a price set during a sway
    // must not carry the passing weight of one frame.
    s.dblCost = s.dblBaseWeight * s.dblPrice;
    p.showPriceAndCost(s.dblPrice, s.dblCost);
}

}  // namespace dravilo
