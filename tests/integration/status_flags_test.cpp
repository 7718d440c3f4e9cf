#include <gtest/gtest.h>

#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct StatusFlags : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }
};

}  // namespace

TEST_F(StatusFlags, S1IsTheByteOfItsBoxes)
{
    t.form.Check1[7].setValue(1);
    EXPECT_EQ(t.state.bytS1, 1);
    EXPECT_EQ(t.form.Label27.caption(), "S1=00000001");
    t.form.Check1[7].setValue(0);
    t.form.Check1[0].setValue(1);
    EXPECT_EQ(t.state.bytS1, 128);
    EXPECT_EQ(t.form.Label27.caption(), "S1=10000000");
    for (CheckBox& box : t.form.Check1)
        box.setValue(1);
    EXPECT_EQ(t.state.bytS1, 255);
    for (CheckBox& box : t.form.Check1)
        box.setValue(0);
    EXPECT_EQ(t.form.Label27.caption(), "S1=00000000");
}

TEST_F(StatusFlags, PricePointSetsFormatAndDivisor)
{
    t.form.Check3[4].setValue(0);
    EXPECT_EQ(t.state.strPriceFormat, "000000");
    EXPECT_EQ(t.state.intPriceDivisor, 1);
    EXPECT_EQ(t.form.Text8.text(), "000010");  // the price re-evaluated in the new format
    t.form.Check3[5].setValue(1);
    EXPECT_EQ(t.state.strPriceFormat, "00000.0");
    EXPECT_EQ(t.state.intPriceDivisor, 10);
    EXPECT_EQ(t.form.Text8.text(), "00010.2");
    t.form.Check3[4].setValue(1);  // both bits: no change
    EXPECT_EQ(t.state.strPriceFormat, "00000.0");
    EXPECT_EQ(t.state.intPriceDivisor, 10);
    t.form.Check3[5].setValue(0);
    EXPECT_EQ(t.state.strPriceFormat, "0000.00");
    EXPECT_EQ(t.state.intPriceDivisor, 100);
}

TEST_F(StatusFlags, ModeBitsRelabelTheDisplayAndTakeOff)
{
    t.form.Command1.click();
    t.form.Check3[3].setValue(1);
    EXPECT_EQ(t.state.intMode, 1);
    EXPECT_EQ(t.form.Label10.caption(), "Weight");
    EXPECT_EQ(t.form.Label25.caption(), "Weight 1 pcs.");
    EXPECT_EQ(t.form.Label26.caption(), "Number of pieces.");
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);
    EXPECT_EQ(t.state.dblWeight, 0);

    t.form.Check3[3].setValue(0);
    t.form.Check3[2].setValue(1);
    EXPECT_EQ(t.state.intMode, 2);
    EXPECT_EQ(t.form.Label10.caption(), "Total weight");
    EXPECT_EQ(t.form.Label25.caption(), "Number");
    EXPECT_EQ(t.form.Label26.caption(), "Total Cost");
}

TEST_F(StatusFlags, BothModeBitsChangeNothing)
{
    t.setMode(1);
    t.form.Command1.click();
    t.form.Check3[2].setValue(1);
    EXPECT_EQ(t.state.intMode, 1);
    EXPECT_EQ(t.form.Label25.caption(), "Weight 1 pcs.");
    EXPECT_EQ(t.form.Shape2[0].fillColour(), kGreen);
    EXPECT_DOUBLE_EQ(t.state.dblWeight, 11.1);
}

TEST_F(StatusFlags, AnyS2BoxInTotalizingModeClearsTheTotals)
{
    t.setMode(2);
    t.form.Command1.click();
    t.form.Command1.click();
    ASSERT_EQ(t.state.lngWeighCount, 2);
    t.form.Check3[0].setValue(1);
    EXPECT_EQ(t.state.bytS2, 0b10101001);
    EXPECT_EQ(t.state.lngWeighCount, 0);
    EXPECT_EQ(t.state.dblTotalWeight, 0);
    EXPECT_EQ(t.state.dblWeight, 0);
    EXPECT_EQ(t.form.Text8.text(), "0000.00");
    EXPECT_EQ(t.form.Text10.text(), "0000.00");
    for (int i = 0; i < 5; ++i)  // the old total never springs back once the sway is over
        t.port.receive(bytes({0x0A}));
    EXPECT_EQ(t.state.dblWeight, 0);
    EXPECT_EQ(t.port.sent.last().left(6), QByteArray(6, '\0'));
    t.form.Command1.click();
    EXPECT_EQ(t.form.Text5.text(), "00011.1");  // counting starts over
}

