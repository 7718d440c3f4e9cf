#include <gtest/gtest.h>

#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct PortPanel : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }

    // A person picks the item that shows `text` in list i.
    void pick(int list, const QString& text)
    {
        const int index = int(t.form.Combo1[list].items().indexOf(text));
        ASSERT_GE(index, 0) << text.toStdString();
        t.form.Combo1[list].pick(index);
    }
    SettingsRecord saved()
    {
        Form_Unload(t.program);
        return *DecodeSettings(t.storedFile(), t.defaults());
    }
};

}  // namespace

TEST_F(PortPanel, APickReopensThePortAHundredMillisecondsLater)
{
    pick(1, "19200");
    EXPECT_FALSE(t.port.portOpen());
    t.clock.advance(99);
    EXPECT_FALSE(t.port.portOpen());
    t.clock.advance(1);
    EXPECT_TRUE(t.port.portOpen());
    EXPECT_EQ(t.port.settings(), "19200,n,8,1");
    EXPECT_EQ(t.form.Shape1.fillColour(), kGreen);
    EXPECT_FALSE(t.form.Timer2.enabled());
    const SettingsRecord r = saved();
    EXPECT_EQ(r.intCommPort, 2);
    EXPECT_EQ(r.lngBaudRate, 19200);
    EXPECT_EQ(r.strPortSettings, "19200,n,8,1");
}

TEST_F(PortPanel, TypingAloneChangesNothingAndSeveralPicksGiveOneReconfiguration)
{
    t.form.Combo1[1].setText("4800");
    t.clock.advance(1000);
    EXPECT_EQ(t.port.opened, 1);
    EXPECT_EQ(t.port.settings(), "9600,n,8,1");

    pick(2, "e");
    t.clock.advance(50);
    pick(3, "7");
    t.clock.advance(200);
    EXPECT_EQ(t.port.opened, 2);
    EXPECT_EQ(t.port.settings(), "4800,e,7,1");  // the texts standing when the timer fired
}

TEST_F(PortPanel, RejectedTextsReopenThePortAsItWas)
{
    // Not a settings text the port takes, not a whole number, out of 16 bits,
    // a port number no port has: each gives the one message and the old line.
    const struct {
        int list;
        const char* text;
    } cases[] = {{2, "x"}, {1, "fast"}, {3, "8.5"}, {0, "70000"}, {0, "0"}, {4, "3"}};
    for (const auto& c : cases) {
        t.platform.messages.clear();
        const SettingsRecord before = t.settings;
        const QString standing = t.form.Combo1[c.list].text();
        t.form.Combo1[c.list].setText(QString::fromLatin1(c.text));
        const int other = c.list == 1 ? 2 : 1;
        pick(other, t.form.Combo1[other].text());
        t.clock.advance(100);
        EXPECT_EQ(t.platform.messages, QStringList{QString::fromUtf8("Недопустимо")}) << c.text;
        EXPECT_TRUE(t.port.portOpen()) << c.text;
        EXPECT_EQ(t.port.commPort(), 2) << c.text;
        EXPECT_EQ(t.port.settings(), before.strPortSettings) << c.text;
        EXPECT_EQ(t.settings.strPortSettings, before.strPortSettings) << c.text;
        EXPECT_EQ(t.form.Shape1.fillColour(), kGreen) << c.text;
        t.form.Combo1[c.list].setText(standing);
    }
    // The fields keep what was typed where they can hold it.
    t.platform.messages.clear();
    t.form.Combo1[2].setText("x");
    pick(4, "2");
    t.clock.advance(100);
    ASSERT_EQ(t.platform.messages.size(), 1);
    const SettingsRecord r = saved();
    EXPECT_EQ(r.strParity, "x");
    EXPECT_EQ(r.intStopBits, 2);
    EXPECT_EQ(r.strPortSettings, "9600,n,8,1");
}

TEST_F(PortPanel, AMissingPortIsRedWithoutAMessageUntilAGoodOneIsPicked)
{
    t.port.missing = {7};
    pick(0, "7");
    t.clock.advance(100);
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_FALSE(t.port.portOpen());
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
    EXPECT_EQ(t.form.Label30.caption(), "no such device");
    t.clock.advance(1000);  // nothing retries a port the user picked
    EXPECT_FALSE(t.port.portOpen());

    pick(0, "3");
    t.clock.advance(100);
    EXPECT_TRUE(t.port.portOpen());
    EXPECT_EQ(t.port.commPort(), 3);
    EXPECT_EQ(t.form.Shape1.fillColour(), kGreen);
    EXPECT_EQ(t.form.Label30.caption(), "");
    EXPECT_EQ(saved().intCommPort, 3);
}

TEST_F(PortPanel, AVanishedDeviceIsTriedOnceASecondUntilItIsBack)
{
    t.port.missing = {2};
    t.port.lose();
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
    EXPECT_EQ(t.form.Label30.caption(), "its device went away");
    t.clock.advance(5000);
    EXPECT_FALSE(t.port.portOpen());
    EXPECT_TRUE(t.platform.messages.isEmpty());
    t.port.missing.clear();
    t.clock.advance(999);
    EXPECT_FALSE(t.port.portOpen());
    t.clock.advance(1);
    EXPECT_TRUE(t.port.portOpen());
    EXPECT_EQ(t.port.commPort(), 2);
    EXPECT_EQ(t.port.settings(), "9600,n,8,1");
    EXPECT_EQ(t.form.Shape1.fillColour(), kGreen);
    EXPECT_EQ(t.form.Label30.caption(), "");
    EXPECT_EQ(t.port.opened, 2);
    t.clock.advance(3000);
    EXPECT_EQ(t.port.opened, 2);  // once back, the tries stop

    // A pick while the port is away is the user's choice: no more tries.
    t.port.missing = {2, 7};
    t.port.lose();
    pick(0, "7");
    t.clock.advance(100);
    t.port.missing.clear();
    t.clock.advance(5000);
    EXPECT_FALSE(t.port.portOpen());
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
}
