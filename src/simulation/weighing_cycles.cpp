#include "simulation/weighing_cycles.h"

#include <cmath>
#include <limits>
#include <optional>

#include "program/program.h"
#include "simulation/weight_setting.h"
#include "base/number_text.h"

namespace dravilo {

namespace {

constexpr std::int32_t kLongest = 100000;
constexpr std::int32_t kDefaultMax = 100;
constexpr std::int32_t kDefaultPeriod = 2;

// The leading number of a cycle field rounded down; "," is no decimal point
// here, it ends the number. Nothing when it does not fit 32 bits.
std::optional<std::int32_t> cycleNumber(const QString& text)
{
    const double n = std::floor(ScanNumber(text, {QStringLiteral(".")}).value_or(0));
    if (!(n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

void takeField(std::int32_t& field, const QString& text, std::int32_t fallback)
{
    if (const std::optional<std::int32_t> n = cycleNumber(text))
        field = *n >= 1 && *n <= kLongest ? *n : fallback;
}

bool inRange(std::int32_t v, std::int32_t low) { return v >= low && v <= kLongest; }

}  // namespace

void Text4_Change(Program& p) { takeField(p.settings.lngCycleMax, p.form.Text4.text(), kDefaultMax); }
void Text7_Change(Program& p) { takeField(p.settings.lngCyclePeriod, p.form.Text7.text(), kDefaultPeriod); }

void Check2_Click(Program& p)
{
    Form1& f = p.form;
    SettingsRecord& set = p.settings;
    set.intCycleOn = std::int16_t(f.Check2.value());
    if (!inRange(set.lngCyclePeriod, 1))
        set.lngCyclePeriod = kDefaultPeriod;
    if (!inRange(set.lngCycleMax, 2))
        set.lngCycleMax = kDefaultMax;
    const bool on = f.Check2.value() == 1;
    f.Timer3.setEnabled(on);
    f.Label22.setVisible(on);
    f.Label22.setCaption(QStringLiteral("0"));
    set.lngCycleCount = 0;
}

void Timer3_Timer(Program& p)
{
    Form1& f = p.form;
    SettingsRecord& set = p.settings;
    TerminalState& s = p.state;
    s.lngCycleTick += 1;
    // Reaching or passing the period: a period lowered below the seconds
    // already counted fires at this tick instead of never.
    if (s.lngCycleTick >= set.lngCyclePeriod) {
        s.lngCycleTick = 0;
        if (f.Shape2[0].fillColour() != kGreen) {
            Command1_Click(p);
        } else {
            Command3_Click(p);
            set.lngCycleCount += 1;
            f.Label22.setCaption(QString::number(set.lngCycleCount));
        }
    }
    if (set.lngCycleCount == set.lngCycleMax)
        f.Timer3.setEnabled(false);
}

}  // namespace dravilo
