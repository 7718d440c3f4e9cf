#include "simulation/weight_setting.h"

#include <array>
#include <cmath>

#include "program/program.h"
#include "simulation/load_sway.h"

namespace dravilo {

namespace {

constexpr int kTakeOffRow = 2;

// Largest weight of each entry of the format list.
constexpr std::array<double, 4> kWeightLimit{999999, 99999.9, 9999.99, 999.999};

QString limitText(Program& p, int index, bool negative)
{
    const double limit = negative ? -kWeightLimit[index] : kWeightLimit[index];
    if (index == 0)
        return QString::number(limit, 'f', 0);
    return QString::number(limit, 'f', index).replace(u'.', p.platform.decimalSeparator());
}

void placeRow(Program& p, int row)
{
    p.form.Text5.setText(p.form.Text2[row].text());
    p.state.dblWeight = p.value(p.form.Text5.text());
}

// The display fields of the current operating mode for a weight just placed.
void modeStep(Program& p, int row)
{
    Form1& f = p.form;
    TerminalState& s = p.state;
    switch (s.intMode) {
    case 1: {
        placeRow(p, row);
        // A unit weight of 0 counts no pieces instead of dividing by zero.
        const double pieces = std::floor(s.dblWeight / s.dblPrice);
        s.dblCost = std::isfinite(pieces) ? pieces : 0;
        s.dblBaseWeight = s.dblWeight;
        p.showPriceAndCost(s.dblPrice, s.dblCost);
        break;
    }
    case 2:
        if (row != kTakeOffRow) {
            placeRow(p, row);
            s.dblTotalWeight += s.dblWeight;
            s.lngWeighCount += 1;
        }
        s.dblCost = s.dblTotalWeight * s.dblPrice;
        p.showPriceAndCost(s.lngWeighCount, s.dblCost);
        s.dblWeight = s.dblTotalWeight;
        f.Text5.setText(p.format(s.dblWeight, s.strWeightFormat));
        s.dblBaseWeight = s.dblWeight;
        break;
    default:
        placeRow(p, row);
        s.dblCost = s.dblPrice * s.dblWeight;
        s.dblBaseWeight = s.dblWeight;
        p.showPriceAndCost(s.dblPrice, s.dblCost);
        break;
    }
}

void weightButton(Program& p, int row)
{
    Form1& f = p.form;
    TerminalState& s = p.state;
    for (int i = 0; i < 3; ++i)
        f.Shape2[i].setFillColour(i == row ? kGreen : kRed);
    if (p.settings.intTerminalType == 0) {
        modeStep(p, row);
        f.Check1[D1].setValue(row != kTakeOffRow && s.dblWeight < 0 ? 1 : 0);
    }
    if (p.settings.intTerminalType == 1) {
        f.Text5.setText(f.Text2[row].text());
        s.dblWeight = p.value(f.Text5.text());
        s.dblBaseWeight = s.dblWeight;
    }
    s.intSwayLeft = p.settings.intSwayCount;
    ShowSwayAsUnstable(p);
}

}  // namespace

void Text9_Change(Program& p, int row) { p.form.Text2[row].setText(p.form.Text9[row].text()); }

void Text2_Change(Program& p, int row)
{
    TextBox& box = p.form.Text2[row];
    const double x = p.value(box.text());
    const int index = p.form.Combo2.listIndex();
    if (index >= 0 && index < int(kWeightLimit.size()) && std::fabs(x) > kWeightLimit[index])
        box.setText(limitText(p, index, x < 0));  // formats itself in its own change event
    const double y = p.value(box.text());
    // Writing the text it already has raises no change, which ends the recursion.
    box.setText(p.format(y, p.state.strWeightFormat).left(y < 0 ? 8 : 7));
}

void Combo2_Click(Program& p)
{
    Form1& f = p.form;
    p.state.strWeightFormat = f.Combo2.text();
    for (int row = 0; row < 2; ++row) {
        const QString setWeight = f.Text9[row].text();
        f.Text9[row].setText(QString());
        f.Text9[row].setText(setWeight);
    }
    f.Text2[kTakeOffRow].setText(p.format(0, p.state.strWeightFormat));
    const int index = f.Combo2.listIndex();
    f.Check3[D1].setValue(index == 2 || index == 3 ? 1 : 0);
    f.Check3[D0].setValue(index == 1 || index == 3 ? 1 : 0);
}

void Command1_Click(Program& p) { weightButton(p, 0); }
void Command2_Click(Program& p) { weightButton(p, 1); }
void Command3_Click(Program& p) { weightButton(p, kTakeOffRow); }

}  // namespace dravilo
