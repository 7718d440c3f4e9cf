#include <gtest/gtest.h>

#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct WeighingCycles : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }

    // What the cycle did at each second: W (Weight 1), T (Take off) or ".".
    std::string run(int seconds)
    {
        std::string actions;
        for (int i = 0; i < seconds; ++i) {
            const Colour loaded = t.form.Shape2[0].fillColour();
            const auto count = t.settings.lngCycleCount;
            t.clock.advance(1000);
            actions += t.form.Shape2[0].fillColour() != loaded ? (loaded == kGreen ? 'T' : 'W')
                       : t.settings.lngCycleCount != count  ? 'T'
                                                             : '.';
        }
        return actions;
    }
    void start(const QString& max, const QString& period)
    {
        t.form.Text4.setText(max);
        t.form.Text7.setText(period);
        t.form.Check2.setValue(1);
    }
};

}  // namespace

TEST_F(WeighingCycles, LoadAndUnloadUntilTheMaximum)
{
    start("3", "2");
    EXPECT_TRUE(t.form.Label22.visible());
    EXPECT_EQ(run(14), ".W.T.W.T.W.T..");
    EXPECT_EQ(t.form.Label22.caption(), "3");
    EXPECT_FALSE(t.form.Timer3.enabled());
    EXPECT_EQ(t.form.Check2.value(), 1);
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);  // the scales end empty

    t.form.Check2.setValue(0);
    EXPECT_FALSE(t.form.Label22.visible());
    EXPECT_EQ(t.form.Label22.caption(), "0");
    EXPECT_EQ(t.settings.lngCycleCount, 0);
}

TEST_F(WeighingCycles, TheWeight1IndicatorDecidesTheNextAction)
{
    t.form.Command1.click();
    start("100", "2");
    EXPECT_EQ(run(2), ".T");
    EXPECT_EQ(t.form.Label22.caption(), "1");
    t.form.Command2.click();  // a load placed by hand
    EXPECT_EQ(run(2), ".W");
}

TEST_F(WeighingCycles, FieldTexts)
{
    const struct {
        const char* max;
        const char* period;
        std::int32_t wantMax, wantPeriod;
    } cases[] = {
        {"3", "2", 3, 2},     {"0", "0", 100, 2},         {"abc", "", 100, 2},
        {"1,5", "4,9", 1, 4},  // "," ends the number
        {"7.9", "100000", 7, 100000}, {"100001", "-3", 100, 2},
    };
    for (const auto& c : cases) {
        t.form.Text4.setText(c.max);
        t.form.Text7.setText(c.period);
        EXPECT_EQ(t.settings.lngCycleMax, c.wantMax) << c.max;
        EXPECT_EQ(t.settings.lngCyclePeriod, c.wantPeriod) << c.period;
    }
    // Too large for 32 bits: the field keeps what it had, which is no fallback.
    t.form.Text4.setText("57");
    t.form.Text4.setText("99999999999");
    EXPECT_EQ(t.settings.lngCycleMax, 57);
    // 1 is taken from the field but is no maximum once the cycles start.
    t.form.Text4.setText("1");
    EXPECT_EQ(t.settings.lngCycleMax, 1);
    t.form.Check2.setValue(1);
    EXPECT_EQ(t.settings.lngCycleMax, 100);
    EXPECT_EQ(t.settings.intCycleOn, 1);
}

TEST_F(WeighingCycles, ChangesWhileRunning)
{
    start("100", "5");
    run(4);
    t.form.Text7.setText("2");  // below the four seconds counted: fires at the next tick
    EXPECT_EQ(run(1), "W");

    t.form.Text7.setText("1");
    run(6);
    ASSERT_EQ(t.settings.lngCycleCount, 3);
    t.form.Text4.setText("2");  // below the count reached: the cycles go on
    run(4);
    EXPECT_EQ(t.settings.lngCycleCount, 5);
    EXPECT_TRUE(t.form.Timer3.enabled());

    // Switched off mid-period, on again: the seconds counted carry over.
    t.form.Text7.setText("3");
    run(1);
    t.form.Check2.setValue(0);
    t.clock.advance(5000);
    t.form.Check2.setValue(1);
    const std::string after = run(2);
    EXPECT_EQ(after[0], '.');
    EXPECT_NE(after[1], '.');
}

TEST_F(WeighingCycles, InTotalizingModeEachLoadAddsToTheTotal)
{
    t.setMode(2);
    start("2", "1");
    run(4);
    EXPECT_EQ(t.state.lngWeighCount, 2);
    EXPECT_DOUBLE_EQ(t.state.dblTotalWeight, 22.2);
}
