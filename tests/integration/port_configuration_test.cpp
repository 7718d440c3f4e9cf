#include <gtest/gtest.h>

#include <functional>

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

// The device list offers what the line may be and hands a person's choice to
// the port, which then opens again on it as after a pick; what the line is
// shows beneath.
TEST(DeviceList, ChoosesTheLineOfComN)
{
    TestProgram t;
    t.port.devices = {"/dev/ttyS0", "/dev/ttyUSB0", kVirtualDevice};
    t.port.chosen = "/dev/ttyS0";
    t.started();
    Form1& f = t.form;
    EXPECT_EQ(f.Port_Combo1.items(), QStringList({"/dev/ttyS0", "/dev/ttyUSB0", "virtual port"}));
    EXPECT_EQ(f.Port_Combo1.text(), "/dev/ttyS0") << "the one in use";
    EXPECT_EQ(f.Port_Label1.caption(), "COM2 → /dev/ttyS0");

    const struct {
        const char* what;
        std::function<void()> step;
        const char* chosen;
        int openings;  // of the port, in all, 100 ms after the step
        const char* traffic;
    } steps[] = {
        {"a device", [&] { f.Port_Combo1.pick(1); }, "/dev/ttyUSB0", 2, "device chosen: COM2 → /dev/ttyUSB0"},
        {"one plugged in meanwhile", [&] { t.port.devices.prepend("/dev/ttyACM0"); f.Port_Combo1.dropDown();
                                           f.Port_Combo1.pick(0); }, "/dev/ttyACM0", 3, "device chosen: COM2 → /dev/ttyACM0"},
        {"the virtual port, in Russian", [&] { f.mnu_rus.click(); f.Port_Combo1.pick(3); }, "virtual", 4,
         "device chosen: COM2 → virtual"},
        {"refused: the port stays", [&] { t.port.refusal = "no link but a file"; f.Port_Combo1.pick(1); },
         "virtual", 4, "device not chosen: no link but a file"},
    };
    for (const auto& s : steps) {
        const std::size_t before = t.program.traffic.events().size();
        s.step();
        t.clock.advance(100);
        EXPECT_EQ(t.port.chosen, s.chosen) << s.what;
        EXPECT_EQ(t.port.opened, s.openings) << s.what;
        EXPECT_TRUE(t.port.portOpen()) << s.what;
        EXPECT_EQ(t.program.traffic.events().at(before).words.toStdString(), s.traffic) << s.what;
    }
    EXPECT_EQ(f.Port_Combo1.items().last(), "виртуальный порт");
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0], "Устройство /dev/ttyS0 не выбрано для COM2: no link but a file");

    // Where the port names its devices by number, the choice is that number.
    t.port.refusal.clear();
    t.port.renumbers = true;
    t.port.devices = {"COM1", "COM5"};
    f.Port_Combo1.dropDown();
    f.Port_Combo1.pick(1);
    t.clock.advance(100);
    EXPECT_EQ(t.port.commPort(), 5);
    EXPECT_EQ(f.Port_Label1.caption(), "COM5 → COM5");
}

// A line that is not chosen from devices (a network line) has no list.
TEST(DeviceList, HiddenWhereThereIsNothingToChoose)
{
    TestProgram t;
    t.started();
    EXPECT_FALSE(t.form.Port_Combo1.visible());
    EXPECT_FALSE(t.form.Port_Label2.visible());
}
