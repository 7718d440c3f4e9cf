#include <gtest/gtest.h>

#include "terminal/frame.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct PeriodicTransmission : ::testing::Test {
    TestProgram t;
    void SetUp() override
    {
        t.started();
        t.form.Option1[1].setValue(true);
    }
    void setPeriod(const QString& text)
    {
        t.form.Text1[0].setText(text);
        t.form.Command4.click();
    }
};

}  // namespace

TEST(PeriodicTransmissionZelm2, TicksSendNothing)
{
    TestProgram t;
    t.started();
    t.form.Text3.setText("kept");
    t.clock.advance(3000);
    EXPECT_TRUE(t.port.sent.isEmpty());
    EXPECT_EQ(t.form.Shape3.fillColour(), kTestBackground);
    EXPECT_EQ(t.form.Text3.text(), "kept");
}

TEST_F(PeriodicTransmission, AFrameEveryPeriod)
{
    t.clock.advance(1500);
    ASSERT_EQ(t.port.sent.size(), 10);
    for (int i = 3; i < 10; ++i)  // after the start-up sway
        EXPECT_EQ(t.port.sent[i], QByteArray("WW00000.0kg\r\n")) << i;
    for (const QByteArray& frame : t.port.sent) {
        EXPECT_TRUE(frame.startsWith("WW")) << frame.toStdString();
        EXPECT_TRUE(frame.endsWith("kg\r\n"));
        EXPECT_EQ(frame.size(), 13);
    }
    EXPECT_EQ(t.form.Label12.caption(), "150");
    EXPECT_EQ(t.form.Label18.caption(), "2");
    EXPECT_EQ(t.form.Label19.caption(), "9600,n,8,1");
    EXPECT_EQ(t.form.Text3.text(), "WW00000.0kg\r\n");
    EXPECT_EQ(t.form.Text6.text(), " 57 57 30 30 30 30 30 2E 30 6B 67 0D 0A");
}

TEST_F(PeriodicTransmission, FramesCarryTheLoadAndTheDisplayFollows)
{
    t.clock.advance(450);
    t.form.Command2.click();
    t.clock.advance(4 * 150);
    EXPECT_EQ(t.port.sent.last(), QByteArray("WW-0011.1kg\r\n"));
    EXPECT_EQ(t.form.Text5.text(), "-00011.1");
    EXPECT_EQ(t.form.Text8.text(), "0010.24");
    EXPECT_DOUBLE_EQ(t.state.dblCost, 10.24 * -11.1);
    EXPECT_EQ(t.form.Text10.text(), "-0113.66");
}

TEST_F(PeriodicTransmission, SendLampFlashesForAHundredMilliseconds)
{
    t.clock.advance(150);
    EXPECT_EQ(t.form.Shape3.fillColour(), kRed);
    t.clock.advance(99);
    EXPECT_EQ(t.form.Shape3.fillColour(), kRed);
    t.clock.advance(1);
    EXPECT_EQ(t.form.Shape3.fillColour(), kTestBackground);
    EXPECT_FALSE(t.form.Timer4.enabled());
}

TEST_F(PeriodicTransmission, SendPeriodInput)
{
    const std::pair<const char*, int> cases[] = {
        {"0", 150}, {"-5", 150}, {"word", 150}, {"", 150}, {"40000", 150}, {"-", 150},
        {"2500", 2500}, {"300.7", 300}, {"1", 1}, {"32767", 32767},
    };
    for (auto [typed, period] : cases) {
        setPeriod(typed);
        EXPECT_EQ(t.settings.intSendPeriod, period) << typed;
        EXPECT_EQ(t.form.Timer1.interval(), period) << typed;
        EXPECT_EQ(t.form.Text1[0].text(), QString::number(period)) << typed;
    }
}

TEST_F(PeriodicTransmission, CommaLocaleReadsItsOwnNotation)
{
    t.platform.separator = u',';
    setPeriod("300,7");
    EXPECT_EQ(t.settings.intSendPeriod, 300);
    setPeriod("300.7");
    EXPECT_EQ(t.settings.intSendPeriod, 150);
}

TEST_F(PeriodicTransmission, NewPeriodTakesEffectFromTheNextTick)
{
    t.clock.advance(150);
    setPeriod("2500");
    t.clock.advance(2499);
    EXPECT_EQ(t.port.sent.size(), 1);
    t.clock.advance(1);
    EXPECT_EQ(t.port.sent.size(), 2);
    EXPECT_EQ(t.form.Label12.caption(), "2500");
}

TEST_F(PeriodicTransmission, ClosedPortStillUpdatesTheViews)
{
    t.port.setPortOpen(false);
    t.form.Command1.click();
    t.clock.advance(150 * 5);
    EXPECT_TRUE(t.port.sent.isEmpty());
    EXPECT_EQ(t.form.Text3.text(), "WW00011.1kg\r\n");
    EXPECT_EQ(t.form.Label12.caption(), "150");
}

TEST_F(PeriodicTransmission, AVanishedPortTurnsRedAndTheTicksGoOn)
{
    t.clock.advance(150);
    t.port.missing = {2};
    t.port.lose();
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
    t.port.sent.clear();
    t.clock.advance(1500);
    EXPECT_TRUE(t.port.sent.isEmpty());
    EXPECT_EQ(t.form.Text3.text(), "WW00000.0kg\r\n");
}
