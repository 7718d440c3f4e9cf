#include <gtest/gtest.h>

#include "app/control_commands.h"
#include "terminal/frame.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct ControlCommands : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }
    // The answer, once it has come: a port command's after its re-configuration.
    QString run(const QString& line)
    {
        const auto answer = std::make_shared<std::optional<QString>>();
        RunControlCommand(t.program, t.line, line, [answer](const QString& a) { *answer = a; });
        for (int waited = 0; !*answer && waited < 1000; waited += 10)
            t.clock.advance(10);
        return answer->value_or("(no answer)");
    }
    // Each command in turn, with the answer it must get.
    struct Step {
        const char* command;
        const char* answer;
    };
    void expectAnswers(std::initializer_list<Step> steps)
    {
        for (const Step& step : steps)
            EXPECT_EQ(run(QString::fromUtf8(step.command)).toStdString(), step.answer) << step.command;
    }
    // A ZELM-2 weight request once the start-up sway is over.
    QByteArray weighed()
    {
        for (int i = 0; i < 4; ++i)
            t.port.receive(bytes({0x0A}));
        return t.port.takeSent().right(20);
    }
};

}  // namespace

TEST_F(ControlCommands, EachCommandActsThroughTheWindow)
{
    const struct {
        const char* command;
        const char* answer;
    } script[] = {
        {"weight1 12.5", "ok"},
        {"press weight1", "ok"},
        {"display", "00012.5 0010.24 0128.00"},
        {"get Text2(0)", "00012.5"},
        {"indicators", "port=green weight1=green weight2=red takeoff=red lamp=dark"},
        {"flag s1 d0 on", "ok"},
        {"flag S2 D7 on", "ok"},
        {"status", "S1=00000001 S2=10001001"},
        {"flag s1 d1 on", "error: S1 D1 (weight negative) follows the weight; it cannot be set by hand"},
        {"flag s3 d1 on", "error: a flag is s1 or s2 and d0 to d7"},
        {"flag s1 d0 maybe", "error: maybe is neither on nor off"},
        {"format 0000.00", "ok"},
        {"get Text2(0)", "0012.50"},
        {"format 12", "error: no weight format 12 (000000, 00000.0, 0000.00, 000.000)"},
        {"sway 0,5 4", "ok"},
        {"get Text1(2)", "4"},
        {"period 40", "ok"},
        {"port 3 19200 e 7 1", "ok"},
        {"cycles max 3", "ok"},
        {"cycles period 5", "ok"},
        {"cycles on", "ok"},
        {"get Check2", "1"},
        {"language rus", "ok"},
        {"language", "rus"},
        {"get Command3", "Снять"},
        {"type zelm1", "ok"},
        {"price 5", "error: the price belongs to ZELM-2; ZELM-1 is selected"},
        {"set Text5 1", "error: Text5 is read-only"},
        {"click Label6", "error: Label6 cannot be clicked"},
        {"get Nothing(9)", "error: no control named Nothing(9)"},
        {"press", "error: usage: press weight1|weight2|takeoff: presses Weight 1, Weight 2 or Take off"},
        {"frobnicate 1 2", "error: unknown command frobnicate"},
        {"", "error: empty command"},
        {"\xC3\x28\x01\x7F", "error: unknown command \xEF\xBF\xBD(\\x01\\x7f"},
    };
    for (const auto& step : script)
        EXPECT_EQ(run(QString::fromUtf8(step.command)), QString::fromUtf8(step.answer)) << step.command;

    EXPECT_EQ(t.settings.dblSwayAmplitude, 0.5);
    EXPECT_EQ(t.form.Timer1.interval(), 40);
    t.clock.advance(100);
    EXPECT_EQ(t.port.commPort(), 3);
    EXPECT_EQ(t.port.settings(), "19200,e,7,1");
    EXPECT_EQ(t.settings.lngCycleMax, 3);
    EXPECT_TRUE(t.form.Timer3.enabled());
    EXPECT_EQ(DecodeSettings(t.storedFile(), t.defaults())->intLanguage, 1);  // as the menu saves it
}

// The window reads a typed number as leniently as ever; the channel says ok
// only when the value in force is the value typed, else what is in force.
TEST_F(ControlCommands, ANumberIsOkOnlyWhenItIsTheValueInForce)
{
    expectAnswers({
        {"period 40", "ok"},
        {"period 0", "error: 0 is not a period of 1..32767 ms; the period is now 150"},
        {"period -5", "error: -5 is not a period of 1..32767 ms; the period stays 150"},
        {"period abc", "error: abc is not a period of 1..32767 ms; the period stays 150"},
        {"period 40000", "error: 40000 is not a period of 1..32767 ms; the period stays 150"},
        {"period 300.7", "error: 300.7 is not a period of 1..32767 ms; the period is now 300"},
        {"get Text1(0)", "300"},
        {"period 40.0", "ok"},

        {"weight1 12.50", "ok"},
        {"weight2 11,16", "ok"},  // the format rounds it to 11.2, and again at each change of format
        {"weight1 1.2.3",
         "error: 1.2.3 is not a weight of -99999.9..99999.9 in the format 00000.0; weight 1 is now 1.2"},
        {"get Text2(0)", "00001.2"},
        {"weight1 -100000",
         "error: -100000 is not a weight of -99999.9..99999.9 in the format 00000.0; weight 1 is now -99999.9"},
        {"weight2", "error: \"\" is not a weight of -99999.9..99999.9 in the format 00000.0; weight 2 is now 0"},
        {"format 000000", "ok"},
        {"weight1 12.34", "ok"},

        {"price 12,5", "ok"},
        {"price 5 kg", "error: 5 kg is not a price; the price is now 5"},

        {"sway 0,5 4", "ok"},
        {"sway x 4.5", "error: x is not an amplitude; the amplitude is now 0; 4.5 is not a count of -32768..32767 "
                       "oscillations; the count stays 4"},
        {"sway 0.1 40000", "error: 40000 is not a count of -32768..32767 oscillations; the count is now 32767"},

        {"cycles max 3", "ok"},
        {"cycles max 3,5", "error: 3,5 is not a maximum of 2..100000 cycles; the maximum stays 3"},
        {"cycles max 1", "error: 1 is not a maximum of 2..100000 cycles; the maximum is now 1 until the cycles are "
                         "switched on, which makes it 100"},
        {"cycles on", "ok"},
        {"cycles max 1", "error: 1 is not a maximum of 2..100000 cycles; the maximum stays 100"},  // no change event
        {"cycles period 7", "ok"},
        {"cycles period 0", "error: 0 is not a period of 1..100000 s; the cycles' period is now 2"},
    });
    EXPECT_EQ(t.settings.intSendPeriod, 40);
    EXPECT_EQ(t.state.dblPrice, 5);
    EXPECT_EQ(t.settings.lngCycleMax, 100);
    EXPECT_EQ(t.settings.lngCyclePeriod, 2);
}

// The commands' errors speak of what the command names; only the commands
// that name controls speak of the controls' designer names.
TEST_F(ControlCommands, ErrorsSpeakTheCommandsWords)
{
    expectAnswers({
        {"flag S2 D0 off", "error: S2 D0 (weight decimals) follows the weight format; it cannot be set by hand"},
        {"flag s2 d1 on", "error: S2 D1 (weight decimals) follows the weight format; it cannot be set by hand"},
        {"flag s2 d9 on", "error: a flag is s1 or s2 and d0 to d7"},
        {"format 00.0000", "error: no weight format 00.0000 (000000, 00000.0, 0000.00, 000.000)"},
        {"press now", "error: no button now (weight1, weight2, takeoff)"},
        {"type zelm3", "error: no terminal type zelm3 (zelm1, zelm2)"},
        {"language de", "error: no language de (rus, eng)"},
        {"cycles often 3", "error: no cycles setting often (max, period)"},
        {"cycles maybe", "error: maybe is neither on nor off"},
        {"traffic 0", "error: traffic takes 1 to 10000 lines"},
        {"traffic 10001", "error: traffic takes 1 to 10000 lines"},
        {"traffic x", "error: traffic takes 1 to 10000 lines"},
        {"port 13 1 x 9 3",
         "error: none of the five is an item of its list, so nothing is picked and the port stays as it is"},
        {"check Check1(6) on", "error: Check1(6) is not enabled"},
        {"pick Combo2 12", "error: Combo2 has no item 12"},
        {"type zelm1", "ok"},
        {"flag s1 d0 on", "error: S1 and S2 belong to ZELM-2; ZELM-1 is selected"},
        {"set Text11 5", "error: Text11 is not shown now"},
    });
}

TEST_F(ControlCommands, HelpListsTheNamesAndTellsEachCommand)
{
    const QString names = run("help");
    ASSERT_TRUE(names.startsWith("commands: weight1 weight2 press format ")) << names.toStdString();
    EXPECT_LT(names.size(), 300);
    const QStringList listed = names.section(": ", 1).section(" (", 0, 0).split(u' ');
    EXPECT_GE(listed.size(), 25);
    for (const QString& name : listed) {
        const QString usage = run("help " + name);
        EXPECT_TRUE(usage.startsWith(name + u' ') || usage.startsWith(name + u':')) << usage.toStdString();
    }
    EXPECT_EQ(run("help CYCLES").toStdString(),
              "cycles max N, cycles period S: types the weighing cycles' maximum count (2..100000) or period in "
              "seconds (1..100000), ok when it is that whole number; cycles on|off: switches the weighing cycles on "
              "or off");
    EXPECT_EQ(run("help bogus").toStdString(), "error: no command bogus; help lists them");
}

TEST_F(ControlCommands, AnswersAreOneLine)
{
    t.port.receive(bytes({0x0E}));
    EXPECT_EQ(run("get Text3"), "\\x00\\x09\\x0d\\x0a");
    EXPECT_EQ(run("frame"), "00 09 0D 0A");
    EXPECT_FALSE(run("help").contains(u'\n'));
}

TEST_F(ControlCommands, LineFaultsChangeOnlyTheBytesOnTheLine)
{
    const QByteArray frame = weighed();
    ASSERT_EQ(frame.size(), 20);
    const QString shown = t.form.Text6.text();

    EXPECT_EQ(run("fault drop next 2"), "ok");
    EXPECT_EQ(run("fault"), "drop next 2");
    t.port.receive(bytes({0x0A}));
    t.port.receive(bytes({0x0A}));
    EXPECT_TRUE(t.port.sent.isEmpty());
    EXPECT_EQ(t.form.Text6.text(), shown);  // the window shows what the terminal meant to send
    EXPECT_EQ(run("fault"), "none");
    t.port.receive(bytes({0x0A}));
    EXPECT_EQ(t.port.takeSent(), frame);

    run("fault corrupt next 1");
    t.port.receive(bytes({0x0A}));
    const QByteArray corrupt = t.port.takeSent();
    ASSERT_EQ(corrupt.size(), 20);
    int differing = 0;
    for (int i = 0; i < 20; ++i)
        differing += corrupt[i] != frame[i];
    EXPECT_EQ(differing, 1);

    run("fault cut next 1");
    t.port.receive(bytes({0x0A}));
    const QByteArray cut = t.port.takeSent();
    EXPECT_LT(cut.size(), 20);
    EXPECT_EQ(cut, frame.left(cut.size()));

    run("fault noise next 1");
    t.port.receive(bytes({0x0A}));
    const QByteArray noisy = t.port.takeSent();
    EXPECT_GT(noisy.size(), 20);
    EXPECT_TRUE(noisy.endsWith(frame));

    run("fault delay 50 next 1");
    t.port.receive(bytes({0x0A}));
    t.port.receive(bytes({0x0E}));  // a reply behind a delayed one keeps its place
    EXPECT_TRUE(t.port.sent.isEmpty());
    t.clock.advance(50);
    EXPECT_EQ(t.port.takeSent(), frame + bytes({0, 9, 0x0D, 0x0A}));  // but waits no longer

    run("fault drop rate 50%");
    int through = 0;
    for (int i = 0; i < 200; ++i) {
        t.port.receive(bytes({0x0E}));
        through += !t.port.takeSent().isEmpty();
    }
    EXPECT_GT(through, 60);
    EXPECT_LT(through, 140);
    run("fault off");
    EXPECT_EQ(weighed(), frame);

    for (const char* bad : {"fault drop", "fault drop next 0", "fault drop rate 2", "fault delay next 1", "fault melt next 1"})
        EXPECT_TRUE(run(bad).startsWith("error: ")) << bad;
}

TEST_F(ControlCommands, APortCommandAnswersWithWhatTheReconfigurationDid)
{
    std::optional<QString> early;
    RunControlCommand(t.program, t.line, "port 3 9600 n 8 1", [&early](const QString& a) { early = a; });
    EXPECT_FALSE(early) << "answered before the port was re-configured";
    t.clock.advance(100);
    EXPECT_EQ(early, "ok");

    t.port.missing = {7};
    const struct {
        const char* command;
        const char* answer;
    } cases[] = {
        {"port 2 9600 n 9 1", "error: Недопустимо: Invalid Setting: 9600,n,9,1"},
        {"port 2 -9600 n 8 1", "error: Недопустимо: Invalid Setting: -9600,n,8,1"},
        {"port 99999 9600 n 8 1", "error: Недопустимо: no port number: 99999"},
        {"port 7 9600 n 8 1", "error: the port is not open: no such device"},
        {"port 2 9600 n 8 1", "ok"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(QString::fromUtf8(c.command)), QString::fromUtf8(c.answer)) << c.command;
}

TEST_F(ControlCommands, ACommandWhoseSaveFailedSaysSo)
{
    QFile::remove(t.settingsPath());
    ASSERT_TRUE(QDir().mkpath(t.settingsPath()));  // nothing can be saved there
    EXPECT_TRUE(run("language rus").startsWith("error: the settings were not saved: "));
    EXPECT_EQ(run("language"), "rus");  // the switch itself stands
    EXPECT_EQ(run("weight1 3"), "ok");
}

TEST_F(ControlCommands, ADelayHoldsOnlyItsRepliesAndEndsWithTheLine)
{
    weighed();
    const QByteArray status = bytes({0, 9, 0x0D, 0x0A});
    const auto ask = [this] { t.port.receive(bytes({0x0E})); };
    // A host polling every 100 ms: the next three replies are held a second,
    // the fourth goes with the third, and the fifth is not held at all.
    run("fault delay 1000 next 3");
    for (int i = 0; i < 4; ++i) {
        ask();
        t.clock.advance(100);
    }
    EXPECT_EQ(run("fault"), "none");
    t.clock.advance(600);  // 1000 ms after the first
    EXPECT_EQ(t.port.sent.size(), 1);
    t.clock.advance(200);
    EXPECT_EQ(t.port.sent.size(), 4);
    t.port.takeSent();
    ask();
    EXPECT_EQ(t.port.takeSent(), status);

    // "fault off" sends what is held at once; a re-configured port drops it.
    run("fault delay 5000 next 2");
    ask();
    run("fault off");
    EXPECT_EQ(t.port.takeSent(), status);
    run("fault delay 5000 next 1");
    ask();
    run("port 2 9600 n 8 1");
    t.clock.advance(10000);
    EXPECT_TRUE(t.port.takeSent().isEmpty());

    // ZELM-1 at 1 ms, every line held a minute: what waits stays bounded.
    run("fault delay 60000 rate 1");
    run("period 1");
    run("type zelm1");
    t.clock.advance(20000);
    run("fault off");
    const qsizetype released = t.port.takeSent().size();
    EXPECT_GT(released, 30000);
    EXPECT_LE(released, 65536);
}

TEST_F(ControlCommands, SleepsAnswerWhenTheirTimeIsOverInTheirOrder)
{
    QStringList answers;
    for (const char* line : {"sleep 300", "sleep 100", "sleep soon", "sleep -1"})
        RunControlCommand(t.program, t.line, line, [&answers, line](const QString& a) { answers << line + (": " + a); });
    EXPECT_EQ(answers, QStringList({"sleep soon: error: soon is no whole number of ms from 0 up",
                                    "sleep -1: error: -1 is no whole number of ms from 0 up"}));
    t.clock.advance(99);
    EXPECT_EQ(answers.size(), 2);
    t.clock.advance(1);
    t.clock.advance(200);
    EXPECT_EQ(answers.mid(2), QStringList({"sleep 100: ok", "sleep 300: ok"}));
}
