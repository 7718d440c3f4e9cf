#include "terminal/terminal_type.h"

#include "app/program.h"
#include "simulation/weight_setting.h"
#include "terminal/number_text.h"
#include "terminal/status_flags.h"

namespace dravilo {

namespace {

QString byLanguage(const Program& p, const char16_t* english, const char16_t* russian)
{
    return QString::fromUtf16(p.settings.intLanguage != 0 ? russian : english);
}

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
        f.Text3.setText(QString());
        f.Text6.setText(QString());
        f.Text5.setText(QString());
        p.platform.beep();
        p.settings.intTerminalType = 0;
        f.Frame4.setCaption(byLanguage(p, u"ZELM-2", u"ЗЕЛМ-2"));
        showPriceAndCost(f, true);
        ShowModeCaptions(p);
        Command3_Click(p);
    }
    if (f.Option1[1].value()) {
        f.Frame7.setVisible(false);
        p.settings.intTerminalType = 1;
        showPriceAndCost(f, false);
        f.Label10.setCaption(byLanguage(p, u"Weight", u"Вес"));
        f.Frame4.setCaption(byLanguage(p, u"ZELM-1", u"ЗЕЛМ-1"));
        Command3_Click(p);
    }
}

void Text11_Change(Program& p)
{
    TerminalState& s = p.state;
    s.dblPrice = ValueOfText(p.form.Text11.text());
    if (s.intMode != 0)
        return;
    // The cost of the weight now on the scales, as the weight buttons compute it.
    s.dblCost = s.dblWeight * s.dblPrice;
    p.form.Text8.setText(p.format(s.dblPrice, s.strPriceFormat));
    p.form.Text10.setText(p.format(s.dblCost, s.strPriceFormat));
}

}  // namespace dravilo
