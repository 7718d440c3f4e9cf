#include "simulation/load_sway.h"

#include "program/program.h"
#include "base/number_text.h"

namespace dravilo {

void SwayStep(Program& p)
{
    TerminalState& s = p.state;
    if (s.intSwayLeft > 0) {
        const double r = p.random.next();
        if (s.intSwayUp == 0) {
            s.dblWeight += r * p.settings.dblSwayAmplitude;
            s.intSwayUp = 1;
        } else {
            s.dblWeight -= r * p.settings.dblSwayAmplitude;
            s.intSwayUp = 0;
        }
    }
    // Counted in int so that a countdown of -32768 ends like any other.
    const int left = s.intSwayLeft - 1;
    if (left < 0) {
        s.intSwayLeft = 0;
        s.dblWeight = s.dblBaseWeight;
    } else {
        s.intSwayLeft = static_cast<std::int16_t>(left);
    }
    ShowSwayAsUnstable(p);
}

void ShowSwayAsUnstable(Program& p)
{
    const TerminalState& s = p.state;
    if (p.form.Check4.value() == 1)
        p.form.Check1[D4].setValue(s.intSwayLeft > 0 || s.dblWeight != s.dblBaseWeight ? 1 : 0);
}

void Check4_Click(Program& p) { ShowSwayAsUnstable(p); }

std::int16_t SwayCountInput(const Program& p)
{
    return FloorToInt16(p.value(p.form.Text1[2].text()));
}

void Command5_Click(Program& p)
{
    p.state.intSwayLeft = 0;
    ShowSwayAsUnstable(p);  // until the next frame brings the weight back
    p.settings.intSwayCount = SwayCountInput(p);
    p.settings.dblSwayAmplitude = p.value(p.form.Text1[1].text());
    p.platform.beep();
}

}  // namespace dravilo
