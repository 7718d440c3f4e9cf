#include <gtest/gtest.h>

#include "app/language.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct TerminalType : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }
};

}  // namespace

TEST_F(TerminalType, Zelm1ShowsOnlyTheWeight)
{
    t.form.Command1.click();
    const int beeps = t.platform.beeps;
    t.form.Option1[1].setValue(true);
    EXPECT_FALSE(t.form.Option1[0].value());
    EXPECT_EQ(t.settings.intTerminalType, 1);
    EXPECT_FALSE(t.form.Frame7.visible());
    for (Control* c : {(Control*)&t.form.Text8, (Control*)&t.form.Text10, (Control*)&t.form.Label25,
                       (Control*)&t.form.Label26})
        EXPECT_FALSE(c->visible());
    EXPECT_TRUE(t.form.Text5.visible());
    EXPECT_EQ(t.form.Label10.caption(), "Weight");
    EXPECT_EQ(t.form.Frame4.caption(), "ZELM-1");
    EXPECT_EQ(t.state.dblWeight, 0);
    EXPECT_EQ(t.form.Text5.text(), "00000.0");
    EXPECT_EQ(t.platform.beeps, beeps);
}

TEST_F(TerminalType, BackToZelm2BeepsClearsTheViewsAndKeepsTheMode)
{
    t.setMode(1);
    t.form.Option1[1].setValue(true);
    t.form.Text3.setText("old");
    t.form.Text6.setText(" 6F");
    const int beeps = t.platform.beeps;
    t.form.Option1[0].setValue(true);
    EXPECT_EQ(t.platform.beeps, beeps + 1);
    EXPECT_EQ(t.settings.intTerminalType, 0);
    EXPECT_TRUE(t.form.Frame7.visible());
    EXPECT_TRUE(t.form.Text10.visible());
    EXPECT_EQ(t.form.Text3.text(), "");
    EXPECT_EQ(t.form.Text6.text(), "");
    EXPECT_EQ(t.form.Frame4.caption(), "ZELM-2");
    EXPECT_EQ(t.form.Label10.caption(), "Weight");
    EXPECT_EQ(t.form.Label25.caption(), "Weight 1 pcs.");
    EXPECT_EQ(t.form.Label26.caption(), "Number of pieces.");
    EXPECT_EQ(t.form.Text10.text(), "0000.00");
}

TEST_F(TerminalType, LanguageSwitchInTotalizingModeRelabelsAndTakesOff)
{
    t.setMode(2);
    t.form.Command1.click();
    t.settings.intLanguage = 1;
    ApplyLanguage(t.program);
    EXPECT_EQ(t.form.Label10.caption(), QString::fromUtf8("Общий вес"));
    EXPECT_EQ(t.form.Frame4.caption(), QString::fromUtf8("ЗЕЛМ-2"));
    EXPECT_EQ(t.form.Command3.caption(), QString::fromUtf8("Снять"));
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);
    t.settings.intLanguage = 0;
    ApplyLanguage(t.program);
    EXPECT_EQ(t.form.Label26.caption(), "Total Cost");
}

TEST_F(TerminalType, AnUnknownLanguageKeepsTheCaptions)
{
    t.settings.intLanguage = 7;
    ApplyLanguage(t.program);
    EXPECT_EQ(t.form.Command3.caption(), "Take off");
    EXPECT_EQ(t.form.Label25.caption(), QString::fromUtf8("Цена"));  // any value but 0 reads Russian
}

TEST_F(TerminalType, PriceInputRefreshesPriceAndCostInMode0)
{
    t.form.Command1.click();
    t.form.Text11.setText("12,5");
    EXPECT_EQ(t.state.dblPrice, 12.5);
    EXPECT_EQ(t.form.Text8.text(), "0012.50");
    EXPECT_EQ(t.form.Text10.text(), "0138.75");  // 11.1 x 12.5
    t.form.Text11.setText("abc");
    EXPECT_EQ(t.state.dblPrice, 0);
    EXPECT_EQ(t.form.Text8.text(), "0000.00");
    EXPECT_EQ(t.form.Text10.text(), "0000.00");
    t.form.Text11.setText(QString(400, u'9'));  // no stop on a price beyond any format
    EXPECT_GT(t.form.Text8.text().size(), 300);
}

TEST_F(TerminalType, APriceSetDuringASwayCostsTheSettledWeight)
{
    t.form.Command1.click();
    t.port.receive(bytes({0x0A}));  // one frame: the weight is on its way
    ASSERT_NE(t.state.dblWeight, 11.1);
    t.form.Text11.setText("10,24");
    EXPECT_EQ(t.form.Text10.text(), "0113.66");
    t.port.receive(bytes({0x0B, 0, 0, 0, 2, 0, 0}));  // the host sets 20.00
    EXPECT_EQ(t.form.Text10.text(), "0222.00");
}

TEST_F(TerminalType, NewUnitWeightShowsAtTheNextWeightButton)
{
    t.setMode(1);
    t.form.Text11.setText("0.5");
    t.form.Command1.click();
    ASSERT_EQ(t.form.Text10.text(), "0022.00");
    t.form.Text11.setText("1");
    EXPECT_EQ(t.form.Text10.text(), "0022.00");
    EXPECT_EQ(t.form.Text8.text(), "0000.50");
    t.form.Command1.click();
    EXPECT_EQ(t.form.Text10.text(), "0011.00");
}
