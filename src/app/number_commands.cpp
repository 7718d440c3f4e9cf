#include "app/number_commands.h"

#include <QStringList>
#include <optional>

#include "app/control_window.h"
#include "base/number_text.h"
#include "program/program.h"

namespace dravilo {

namespace {

// The number a text is as a whole, with ".", "," or the locale's separator as
// its point: what the person typing it meant.
std::optional<double> meant(const Program& p, const QString& text)
{
    return ScanNumber(text, {QStringLiteral(".,") + p.platform.decimalSeparator(), true});
}

// How a field speaks of the numbers it holds.
struct Field {
    QString kind;  // "a period of 1..32767 ms"
    QString name;  // "the period"
};

// "0 is not a period of 1..32767 ms; the period stays 150"
QString notAsTyped(const QString& typed, const Field& field, double before, double after)
{
    return QStringLiteral("%1 is not %2; %3 %4 %5")
        .arg(typed.isEmpty() ? QStringLiteral("\"\"") : typed, field.kind, field.name,
             before == after ? QStringLiteral("stays") : QStringLiteral("is now"),
             PlainNumber(after + 0.0, u'.'));  // + 0.0: a zero is never "-0"
}

// Whether the field holds the number typed.
bool holds(const Program& p, const QString& typed, double inForce)
{
    const std::optional<double> number = meant(p, typed);
    return number && *number == inForce;
}

void expectTyped(const Program& p, const QString& typed, double inForce, const Field& field, double before)
{
    if (!holds(p, typed, inForce))
        throw CommandFailure{notAsTyped(typed, field, before, inForce)};
}

}  // namespace

void TypeWeight(Program& p, const ControlWindow& w, int row, const QString& text)
{
    const TextBox& placed = p.form.Text2[row];
    const double before = p.value(placed.text());
    w.type(QStringLiteral("Text9(%1)").arg(row), text);
    const QString& format = p.state.strWeightFormat;
    const std::optional<double> typed = meant(p, text);
    // The format rounds a weight to its decimals, and does so again whenever
    // it is changed: the set weight stays as typed.
    if (typed && p.format(*typed, format) == placed.text())
        return;
    // The largest weight a format holds is its pattern in nines.
    const QString largest = QString(format).replace(u'0', u'9');
    throw CommandFailure{notAsTyped(text,
                                    {QStringLiteral("a weight of -%1..%1 in the format %2").arg(largest, format),
                                     QStringLiteral("weight %1").arg(row + 1)},
                                    before, p.value(placed.text()))};
}

void TypePrice(Program& p, const ControlWindow& w, const QString& text)
{
    if (!p.form.Frame7.visible())
        throw CommandFailure{QStringLiteral("the price belongs to ZELM-2; ZELM-1 is selected")};
    const double before = p.state.dblPrice;
    w.type(QStringLiteral("Text11"), text);
    expectTyped(p, text, p.state.dblPrice, {QStringLiteral("a price"), QStringLiteral("the price")}, before);
}

void TypeSway(Program& p, const ControlWindow& w, const QString& amplitude, const QString& count)
{
    const SettingsRecord& s = p.settings;
    const double amplitudeBefore = s.dblSwayAmplitude;
    const double countBefore = s.intSwayCount;
    w.type(QStringLiteral("Text1(1)"), amplitude);
    w.type(QStringLiteral("Text1(2)"), count);
    w.click(QStringLiteral("Command5"));
    // Both are in force whatever they came to; the answer tells of each.
    const Field amplitudeField{QStringLiteral("an amplitude"), QStringLiteral("the amplitude")};
    const Field countField{QStringLiteral("a count of -32768..32767 oscillations"), QStringLiteral("the count")};
    QStringList wrong;
    if (!holds(p, amplitude, s.dblSwayAmplitude))
        wrong << notAsTyped(amplitude, amplitudeField, amplitudeBefore, s.dblSwayAmplitude);
    if (!holds(p, count, s.intSwayCount))
        wrong << notAsTyped(count, countField, countBefore, s.intSwayCount);
    if (!wrong.isEmpty())
        throw CommandFailure{wrong.join(QStringLiteral("; "))};
}

void TypeSendPeriod(Program& p, const ControlWindow& w, const QString& text)
{
    const double before = p.settings.intSendPeriod;
    w.type(QStringLiteral("Text1(0)"), text);
    w.click(QStringLiteral("Command4"));
    expectTyped(p, text, p.settings.intSendPeriod,
                {QStringLiteral("a period of 1..32767 ms"), QStringLiteral("the period")}, before);
}

void TypeCycleMaximum(Program& p, const ControlWindow& w, const QString& text)
{
    const std::int32_t& maximum = p.settings.lngCycleMax;
    const double before = maximum;
    w.type(QStringLiteral("Text4"), text);
    // The field takes 1 too, but switching the cycles on puts 100 in its place.
    const bool kept = maximum >= 2 && maximum <= 100000;
    if (kept && holds(p, text, maximum))
        return;
    QString why = notAsTyped(text, {QStringLiteral("a maximum of 2..100000 cycles"), QStringLiteral("the maximum")},
                             before, maximum);
    if (!kept)
        why += QStringLiteral(" until the cycles are switched on, which makes it 100");
    throw CommandFailure{why};
}

void TypeCyclePeriod(Program& p, const ControlWindow& w, const QString& text)
{
    const double before = p.settings.lngCyclePeriod;
    w.type(QStringLiteral("Text7"), text);
    expectTyped(p, text, p.settings.lngCyclePeriod,
                {QStringLiteral("a period of 1..100000 s"), QStringLiteral("the cycles' period")}, before);
}

}  // namespace dravilo
