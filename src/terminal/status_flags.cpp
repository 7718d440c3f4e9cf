#include "terminal/status_flags.h"

#include <array>

#include "base/captions.h"
#include "program/program.h"
#include "simulation/weight_setting.h"
#include "terminal/terminal_type.h"

namespace dravilo {

namespace {

// The byte and its "1"/"0" digits, D7 first.
std::uint8_t recompute(const std::array<CheckBox, 8>& boxes, Label& label, const char* name)
{
    std::uint8_t byte = 0;
    QString digits;
    for (int n = 7; n >= 0; --n) {
        const bool set = boxes[StatusBitNumbered(n)].value() == 1;
        if (set)
            byte |= std::uint8_t(1u << n);
        digits += set ? u'1' : u'0';
    }
    label.setCaption(QLatin1String(name) + u'=' + digits);
    return byte;
}

}  // namespace

void ShowModeCaptions(Program& p)
{
    const ModeCaptions& c = ModeCaptionsOf(p.state.intMode);
    const std::int16_t language = p.settings.intLanguage;
    p.form.Label10.setCaption(c.weight.in(language));
    p.form.Label25.setCaption(c.price.in(language));
    p.form.Label26.setCaption(c.cost.in(language));
}

void Check1_Click(Program& p) { p.state.bytS1 = recompute(p.form.Check1, p.form.Label27, "S1"); }

void Check3_Click(Program& p)
{
    Form1& f = p.form;
    TerminalState& s = p.state;
    s.bytS2 = recompute(f.Check3, f.Label28, "S2");

    const bool d3 = f.Check3[D3].value() == 1, d2 = f.Check3[D2].value() == 1;
    if (!(d3 && d2)) {
        s.strPriceFormat = d3 ? QStringLiteral("0000.00") : d2 ? QStringLiteral("00000.0") : QStringLiteral("000000");
        s.intPriceDivisor = d3 ? 100 : d2 ? 10 : 1;
        Text11_Change(p);
    }

    const bool d5 = f.Check3[D5].value() == 1, d4 = f.Check3[D4].value() == 1;
    if (d5 && d4)
        return;
    s.intMode = d5 ? 2 : d4 ? 1 : 0;
    Command3_Click(p);
    if (s.intMode == 2) {
        s.dblCost = 0;
        s.lngWeighCount = 0;
        s.dblWeight = 0;
        s.dblBaseWeight = 0;  // else the next frame brings the old total back
        s.dblTotalWeight = 0;
        p.showPriceAndCost(s.lngWeighCount, s.dblCost);
    }
    ShowModeCaptions(p);
}

}  // namespace dravilo
