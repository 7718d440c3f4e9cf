#include <gtest/gtest.h>

#include <vector>

#include "simulation/load_sway.h"
#include "terminal/build_frame.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct LoadSway : ::testing::Test {
    TestProgram t;
    void SetUp() override
    {
        t.started();
        for (int i = 0; i < 3; ++i)  // let the start-up sway run out
            BuildFrame(t.program);
    }
    std::vector<double> frames(int n)
    {
        std::vector<double> weights;
        for (int i = 0; i < n; ++i) {
            BuildFrame(t.program);
            weights.push_back(t.state.dblWeight);
        }
        return weights;
    }
    void placeTen()
    {
        t.form.Text9[0].setText("10");
        t.form.Command1.click();
    }
};

}  // namespace

TEST_F(LoadSway, ThreeStepsAlternateAroundTheNewWeightThenSettle)
{
    placeTen();
    const std::vector<double> w = frames(6);
    // The start-up sway made three steps (up, down, up): this one starts downwards.
    EXPECT_LE(w[0], 10.0);
    EXPECT_GT(w[0], 10.0 - 0.1);
    EXPECT_GE(w[1], w[0]);
    EXPECT_LT(w[1] - w[0], 0.1);
    EXPECT_LE(w[2], w[1]);
    EXPECT_LT(w[1] - w[2], 0.1);
    EXPECT_NE(w[0], 10.0);
    for (int i = 3; i < 6; ++i)
        EXPECT_EQ(w[i], 10.0) << i;
    EXPECT_EQ(t.state.intSwayLeft, 0);
}

TEST_F(LoadSway, CountZeroPlacesTheWeightAtOnce)
{
    t.form.Text1[2].setText("0");
    t.form.Command5.click();
    placeTen();
    EXPECT_EQ(frames(1)[0], 10.0);
}

TEST_F(LoadSway, ChangeDuringASwayStopsItAndBeeps)
{
    placeTen();
    frames(1);
    const int beeps = t.platform.beeps;
    t.form.Command5.click();
    EXPECT_EQ(t.platform.beeps, beeps + 1);
    EXPECT_EQ(t.state.intSwayLeft, 0);
    EXPECT_EQ(frames(1)[0], 10.0);
}

TEST_F(LoadSway, NewSettingsApplyFromTheNextWeightChange)
{
    t.form.Text1[1].setText("5,0");
    t.form.Text1[2].setText("7.9");
    t.form.Command5.click();
    EXPECT_EQ(t.settings.dblSwayAmplitude, 5.0);
    EXPECT_EQ(t.settings.intSwayCount, 7);
    placeTen();
    const std::vector<double> w = frames(8);
    EXPECT_NE(w[6], 10.0);
    EXPECT_EQ(w[7], 10.0);
    double largest = 0;
    for (int i = 0; i < 7; ++i)
        largest = std::max(largest, std::abs(w[i] - 10.0));
    EXPECT_GT(largest, 0.1);  // the new amplitude, not the old one
}

TEST_F(LoadSway, ZeroOrNegativeAmplitude)
{
    t.form.Text1[1].setText("abc");
    t.form.Command5.click();
    placeTen();
    for (double w : frames(4))
        EXPECT_EQ(w, 10.0);

    t.form.Text1[1].setText("-0.1");
    t.form.Command5.click();
    placeTen();
    const std::vector<double> w = frames(1);
    EXPECT_LT(w[0], 10.0);  // this sway starts upwards; the sign turns it down
}

TEST_F(LoadSway, CountsBeyondSixteenBitsAndTheLowestCountdownEndCleanly)
{
    t.form.Text1[2].setText("70000");
    t.form.Command5.click();
    EXPECT_EQ(t.settings.intSwayCount, 32767);

    t.form.Text1[2].setText("-32768");
    t.form.Command5.click();
    EXPECT_EQ(t.settings.intSwayCount, -32768);
    placeTen();
    EXPECT_EQ(t.state.intSwayLeft, -32768);
    EXPECT_EQ(frames(1)[0], 10.0);
    EXPECT_EQ(t.state.intSwayLeft, 0);
}

TEST_F(LoadSway, AWeightSetAloneReturnsToTheBase)
{
    placeTen();
    frames(3);
    t.state.dblWeight = 55;
    EXPECT_EQ(frames(1)[0], 10.0);
}

TEST(LoadSwayRuns, TwoRunsSwayAlike)
{
    auto run = [] {
        TestProgram t;
        t.started();
        std::vector<double> weights;
        for (int press = 0; press < 4; ++press) {
            t.form.Command1.click();
            for (int i = 0; i < 4; ++i) {
                BuildFrame(t.program);
                weights.push_back(t.state.dblWeight);
            }
        }
        return weights;
    };
    const std::vector<double> first = run();
    EXPECT_EQ(first, run());
    EXPECT_NE(first[0], first[4]);  // successive sways differ
}

TEST(SwayRandom, UniformInTheUnitIntervalFromAFixedStart)
{
    SwayRandom a, b;
    double sum = 0;
    for (int i = 0; i < 100000; ++i) {
        const float r = a.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        ASSERT_EQ(r, b.next());
        sum += r;
    }
    EXPECT_NEAR(sum / 100000, 0.5, 0.01);
}

// Asked for, S1 D4 ("weight unstable") is set while the load swings and
// cleared once the weight has settled; not asked for, the sway leaves it be.
TEST_F(LoadSway, WeightUnstableFollowsTheSwayWhenAskedFor)
{
    const auto unstable = [this] { return (t.state.bytS1 & 0x10) != 0; };
    placeTen();
    frames(4);
    EXPECT_FALSE(unstable()) << "off unless asked for";

    t.form.Check4.setValue(1);
    EXPECT_FALSE(unstable()) << "a settled weight";
    placeTen();
    std::vector<bool> seen{unstable()};
    for (int i = 0; i < 4; ++i) {
        BuildFrame(t.program);
        seen.push_back(unstable());
    }
    EXPECT_EQ(seen, std::vector<bool>({true, true, true, true, false})) << "three steps, then the weight itself";

    t.form.Text1[2].setText("0");
    t.form.Command5.click();
    placeTen();
    EXPECT_FALSE(unstable()) << "no sway, no unsteadiness";
}
