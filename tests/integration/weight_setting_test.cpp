#include <gtest/gtest.h>

#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct WeightSetting : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }
};

}  // namespace

TEST_F(WeightSetting, SetWeightIsRoundedToTheFormat)
{
    t.form.Text9[0].setText("11,16");
    EXPECT_EQ(t.form.Text2[0].text(), "00011.2");
    t.form.Text9[0].setText("11.16");
    EXPECT_EQ(t.form.Text2[0].text(), "00011.2");
    t.form.Command1.click();
    EXPECT_EQ(t.form.Text5.text(), "00011.2");
    EXPECT_DOUBLE_EQ(t.state.dblWeight, 11.2);  // the formatted weight is what is placed
}

TEST_F(WeightSetting, AnyTextGivesAWeightOfTheFormat)
{
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "00000.0"}, {"", "00000.0"}, {"-", "00000.0"}, {",", "00000.0"}, {".", "00000.0"},
        {"-0.01", "00000.0"}, {"99999.9", "99999.9"}, {"100000", "99999.9"}, {"-1e9", "-00001.0"},
    };
    for (auto [typed, shown] : cases) {
        t.form.Text9[1].setText(typed);
        EXPECT_EQ(t.form.Text2[1].text(), shown) << typed;
    }
    t.form.Text9[1].setText(QString(400, u'9'));
    EXPECT_EQ(t.form.Text2[1].text(), "99999.9");
    t.form.Text9[1].setText("-" + QString(400, u'9'));
    EXPECT_EQ(t.form.Text2[1].text(), "-99999.9");
}

TEST_F(WeightSetting, WeightsBeyondTheFormatAreLimitedWithTheirSign)
{
    t.form.Combo2.pick(2);
    t.form.Text9[1].setText("-100000");
    EXPECT_EQ(t.form.Text2[1].text(), "-9999.99");
    t.form.Combo2.pick(0);
    t.form.Text9[0].setText("1234567");
    EXPECT_EQ(t.form.Text2[0].text(), "999999");
    t.form.Combo2.pick(3);
    t.form.Text9[0].setText("1000");
    EXPECT_EQ(t.form.Text2[0].text(), "999.999");
}

TEST_F(WeightSetting, ChangingTheFormatReformatsRowsSetsS2AndTakesOff)
{
    t.form.Command1.click();
    ASSERT_EQ(t.form.Shape2[0].fillColour(), kGreen);
    t.form.Combo2.pick(2);
    EXPECT_EQ(t.state.strWeightFormat, "0000.00");
    EXPECT_EQ(t.form.Text2[0].text(), "0011.10");
    EXPECT_EQ(t.form.Text2[1].text(), "-0011.10");
    EXPECT_EQ(t.form.Text2[2].text(), "0000.00");
    EXPECT_EQ(t.form.Check3[6].value(), 1);
    EXPECT_EQ(t.form.Check3[7].value(), 0);
    EXPECT_EQ(t.state.bytS2, 0b00001010);
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);
    EXPECT_EQ(t.form.Text5.text(), "0000.00");
    EXPECT_EQ(t.state.dblWeight, 0);

    t.form.Combo2.pick(3);
    EXPECT_EQ(t.state.bytS2, 0b00001011);
    t.form.Combo2.pick(0);
    EXPECT_EQ(t.state.bytS2, 0b00001000);
    EXPECT_EQ(t.form.Text2[0].text(), "000011");
}

TEST_F(WeightSetting, WeightButtonsLightTheirRowAndSetTheMinusFlag)
{
    t.form.Command2.click();
    EXPECT_DOUBLE_EQ(t.state.dblWeight, -11.1);
    EXPECT_DOUBLE_EQ(t.state.dblBaseWeight, -11.1);
    EXPECT_EQ(t.form.Shape2[1].fillColour(), kGreen);
    EXPECT_EQ(t.form.Shape2[0].fillColour(), kRed);
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kRed);
    EXPECT_EQ(t.form.Check1[6].value(), 1);
    EXPECT_EQ(t.state.bytS1, 2);
    EXPECT_EQ(t.form.Label27.caption(), "S1=00000010");
    EXPECT_EQ(t.state.intSwayLeft, 3);

    t.form.Command3.click();
    EXPECT_EQ(t.form.Check1[6].value(), 0);
    EXPECT_EQ(t.state.bytS1, 0);
    EXPECT_EQ(t.state.dblWeight, 0);
}

TEST_F(WeightSetting, WeightPriceCostMode)
{
    t.form.Command1.click();
    EXPECT_EQ(t.form.Text5.text(), "00011.1");
    EXPECT_EQ(t.form.Text8.text(), "0010.24");
    EXPECT_EQ(t.form.Text10.text(), "0113.66");  // 11.1 x 10.24 = 113.664
    t.form.Command3.click();
    EXPECT_EQ(t.form.Text5.text(), "00000.0");
    EXPECT_EQ(t.form.Text10.text(), "0000.00");
}

TEST_F(WeightSetting, PieceCountingMode)
{
    t.setMode(1);
    t.form.Text11.setText("0.5");
    t.form.Command1.click();
    EXPECT_EQ(t.state.dblCost, 22);
    EXPECT_EQ(t.form.Text8.text(), "0000.50");
    EXPECT_EQ(t.form.Text10.text(), "0022.00");
    t.form.Command2.click();
    EXPECT_EQ(t.state.dblCost, -23);  // rounded down, not towards zero
    EXPECT_EQ(t.form.Text10.text(), "-0023.00");
    t.form.Command3.click();
    EXPECT_EQ(t.form.Text10.text(), "0000.00");
}

TEST_F(WeightSetting, PieceCountingWithAUnitWeightOfZeroCountsNothing)
{
    t.setMode(1);
    for (const char* unit : {"0", "abc", "-0"}) {
        t.form.Text11.setText(unit);
        t.form.Command1.click();
        EXPECT_EQ(t.state.dblCost, 0) << unit;
        EXPECT_EQ(t.form.Text10.text(), "0000.00") << unit;
        t.form.Command2.click();
        EXPECT_EQ(t.state.dblCost, 0) << unit;
    }
}

TEST_F(WeightSetting, TotalizingModeAccumulatesAndTakeOffKeepsTheTotals)
{
    t.setMode(2);
    t.form.Command1.click();
    t.form.Command1.click();
    EXPECT_EQ(t.form.Text5.text(), "00022.2");
    EXPECT_EQ(t.form.Text8.text(), "0002.00");
    EXPECT_EQ(t.form.Text10.text(), "0227.33");
    EXPECT_DOUBLE_EQ(t.state.dblBaseWeight, 22.2);
    t.form.Command3.click();
    EXPECT_EQ(t.form.Text5.text(), "00022.2");
    EXPECT_EQ(t.form.Text8.text(), "0002.00");
    EXPECT_EQ(t.form.Text10.text(), "0227.33");
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);
    EXPECT_EQ(t.form.Check1[6].value(), 0);

    t.form.Command2.click();  // -11.1 makes the total 11.1
    EXPECT_EQ(t.form.Text5.text(), "00011.1");
    EXPECT_EQ(t.form.Text8.text(), "0003.00");
    EXPECT_EQ(t.form.Check1[6].value(), 0);  // the sign is that of the total
}

TEST_F(WeightSetting, Zelm1ButtonsChangeOnlyTheWeight)
{
    t.form.Option1[1].setValue(true);
    const QString price = t.form.Text8.text(), cost = t.form.Text10.text();
    t.form.Command2.click();
    EXPECT_EQ(t.form.Text5.text(), "-00011.1");
    EXPECT_DOUBLE_EQ(t.state.dblWeight, -11.1);
    EXPECT_DOUBLE_EQ(t.state.dblBaseWeight, -11.1);
    EXPECT_EQ(t.form.Shape2[1].fillColour(), kGreen);
    EXPECT_EQ(t.state.intSwayLeft, 3);
    EXPECT_EQ(t.form.Check1[6].value(), 0);
    EXPECT_EQ(t.state.bytS1, 0);
    EXPECT_EQ(t.form.Text8.text(), price);
    EXPECT_EQ(t.form.Text10.text(), cost);
}
