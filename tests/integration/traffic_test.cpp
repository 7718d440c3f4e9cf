#include <gtest/gtest.h>

#include <functional>

#include "app/control_commands.h"
#include "app/traffic_panel.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

// The traffic a step leaves, each line without its time.
QStringList trafficOf(TestProgram& t, const std::function<void()>& step)
{
    const std::size_t before = t.program.traffic.events().size();
    step();
    QStringList lines;
    const auto& events = t.program.traffic.events();
    for (std::size_t i = before; i < events.size(); ++i)
        lines << TrafficLine(events[i]).mid(13);
    return lines;
}

}  // namespace

TEST(Traffic, AHostSessionReadsClearly)
{
    TestProgram t;
    const auto command = [&t](const char* line) { RunControlCommand(t.program, t.line, line, [](const QString&) {}); };
    const QString frame = "from-host 0A \".\" weight request";
    const struct {
        const char* what;
        std::function<void()> step;
        QStringList traffic;
    } session[] = {
        {"start", [&] { t.started(); }, {"program port COM2 opened: 9600,n,8,1"}},
        {"status", [&] { t.port.receive(bytes({0x0E})); },
         {"from-host 0E \".\" status request", "to-host 00 09 0D 0A \"....\" status: S1=00 S2=09"}},
        {"a price in two reads", [&] { t.port.receive(bytes({0x0B, 4, 2, 0, 1})); },
         {"from-host 0B 04 02 00 01 \".....\" price setting: 4 of 6 digits so far"}},
        {"its last digits", [&] { t.port.receive(bytes({0, 0})); },
         {"from-host 00 00 \"..\" price digits: price set to 0010.24; then 0x00: not a request, no reply; the 1 bytes "
          "after it are not read as requests",
          "to-host 0D 0A \"..\" acknowledgement"}},
        {"net", [&] { t.port.receive(bytes({0x0C})); },
         {"from-host 0C \".\" net request", "to-host 0D 0A \"..\" acknowledgement"}},
        {"take off", [&] { t.port.receive(bytes({0x0D})); },
         {"from-host 0D \".\" take-off request", "to-host 0D 0A \"..\" acknowledgement"}},
        {"no request", [&] { t.port.receive(QByteArray("AB")); },
         {"from-host 41 42 \"AB\" 0x41: not a request, no reply; the 1 bytes after it are not read as requests"}},
        {"a dropped frame", [&] { command("sway 0 0"); command("fault drop next 1"); t.port.receive(bytes({0x0A})); },
         {frame, "to-host 00 00 00 00 00 00 04 02 00 01 00 00 00 00 00 00 00 00 0D 0A \"....................\" weight frame",
          "program drop"}},
        {"a refused pick", [&] { command("port 2 9600 n 9 1"); t.clock.advance(100); },
         {"program port closed", "program pick refused: Недопустимо: Invalid Setting: 9600,n,9,1",
          "program port COM2 opened: 9600,n,8,1"}},
        {"a closed port", [&] { t.port.setPortOpen(false); t.port.receive(bytes({0x0E})); },
         {"from-host 0E \".\" status request", "to-host 01 09 0D 0A \"....\" status: S1=01 S2=09",
          "program not sent: the port is closed"}},
        {"ZELM-1", [&] { t.port.setPortOpen(true); command("type zelm1"); t.port.receive(bytes({0x0A})); t.clock.advance(150); },
         {"from-host ZELM-1 is selected: nothing read", "to-host 57 57 30 30 30 30 30 2E 30 6B 67 0D 0A \"WW00000.0kg..\" ZELM-1 line"}},
    };
    for (const auto& s : session)
        EXPECT_EQ(trafficOf(t, s.step).join("\n").toStdString(), s.traffic.join("\n").toStdString()) << s.what;

    // The channel's "traffic" answers the same lines, oldest first, on one line.
    const auto& events = t.program.traffic.events();
    QString answer;
    RunControlCommand(t.program, t.line, "traffic 2", [&answer](const QString& a) { answer = a; });
    EXPECT_EQ(answer, TrafficLine(events[events.size() - 2]) + " | " + TrafficLine(events.back()));
}

// A host's junk costs the record what any event costs: the first bytes and
// their count; and the channel's answer stays bounded however much is asked.
TEST(Traffic, AFloodIsKeptBounded)
{
    TestProgram t;
    t.started();
    t.port.receive(QByteArray(65536, 'A'));
    const TrafficEvent& junk = t.program.traffic.events().back();
    EXPECT_EQ(junk.bytes, QByteArray(Traffic::kKeptBytes, 'A'));
    EXPECT_EQ(TrafficLine(junk).mid(13),
              "from-host " + QStringList(QList<QString>(Traffic::kKeptBytes, "41")).join(' ') +
                  " … (65536 bytes in all) \"" + QString(Traffic::kKeptBytes, 'A') +
                  "\" 0x41: not a request, no reply; the 65535 bytes after it are not read as requests");
    t.program.record(TrafficDirection::Program, {}, QString(100000, 'x'));
    EXPECT_EQ(t.program.traffic.events().back().what.size(), Traffic::kLongestWhat);

    for (std::size_t i = 0; i < Traffic::kKept; ++i)
        t.port.receive(QByteArray(1000, 'A'));
    QString answer;
    RunControlCommand(t.program, t.line, "traffic 10000", [&answer](const QString& a) { answer = a; });
    EXPECT_LE(answer.size(), 1 << 20);
    EXPECT_TRUE(answer.startsWith("(the ")) << "says what was left out";
    EXPECT_EQ(answer.section(" | ", -1), TrafficLine(t.program.traffic.events().back())) << "the newest is in";
}

// Once the program is closing, what a client or a script sends after it runs
// no more: its change could not be saved, and nobody would see it.
TEST(Traffic, NothingRunsAfterTheExit)
{
    TestProgram t;
    t.started();
    QStringList answers;
    const auto command = [&](const char* line) {
        RunControlCommand(t.program, t.line, line, [&answers](const QString& a) { answers << a; });
    };
    command("click mnu_Exit");
    command("period 99");
    EXPECT_EQ(answers, QStringList({"ok", "error: the emulator is ending; nothing more is run"}));
    EXPECT_EQ(t.form.Text1[0].text(), "150");
}

// The panel shows what was recorded since it was cleared, while it is shown
// and not paused, never more than the record keeps; it saves what it shows.
TEST(TrafficPanel, RowsFollowTheRecordWhileShownAndUnpaused)
{
    TestProgram t;
    t.started();
    Form1& f = t.form;
    Program& p = t.program;
    const auto whats = [&p] {
        QStringList w;
        for (const TrafficEvent& row : p.trafficRows.rows())
            w << row.what;
        return w;
    };
    EXPECT_FALSE(RefreshTrafficPanel(p)) << "hidden";
    f.mnu_Traffic.click();
    EXPECT_TRUE(RefreshTrafficPanel(p));
    EXPECT_EQ(whats(), QStringList{"port COM2 opened: 9600,n,8,1"}) << "what came before it was shown";

    f.Traffic_Check1.setValue(1);
    t.port.receive(bytes({0x0E}));
    EXPECT_FALSE(RefreshTrafficPanel(p)) << "paused";
    f.Traffic_Check1.setValue(0);
    EXPECT_TRUE(RefreshTrafficPanel(p));
    EXPECT_EQ(whats().size(), 3);

    f.Traffic_Command1.click();
    EXPECT_FALSE(RefreshTrafficPanel(p)) << "cleared, and nothing new";
    EXPECT_TRUE(whats().isEmpty());
    t.port.receive(bytes({0x0E}));
    EXPECT_TRUE(RefreshTrafficPanel(p));
    EXPECT_EQ(whats().size(), 2);
    for (std::size_t i = 0; i < Traffic::kKept + 5; ++i)
        p.record(TrafficDirection::Program, {}, QString::number(i));
    EXPECT_TRUE(RefreshTrafficPanel(p));
    EXPECT_EQ(p.trafficRows.rows().size(), Traffic::kKept);
    EXPECT_EQ(whats().first(), "5");
    EXPECT_EQ(whats().last(), QString::number(Traffic::kKept + 4));

    QTemporaryDir dir;
    t.platform.fileAnswer = dir.filePath("traffic.txt");
    f.Traffic_Command2.click();
    QFile saved(t.platform.fileAnswer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    EXPECT_EQ(lines.size(), qsizetype(Traffic::kKept + 1));
    EXPECT_EQ(lines.first(), TrafficLine(p.trafficRows.rows().front()).toUtf8());
    EXPECT_TRUE(t.platform.messages.isEmpty());
    t.platform.fileAnswer = dir.filePath("gone/traffic.txt");
    f.Traffic_Command2.click();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_TRUE(t.platform.messages[0].startsWith("The traffic cannot be saved to " + t.platform.fileAnswer));
}

// The panel and the channel's "fault" are two views of one fault.
TEST(FaultPanel, SetsAndShowsTheSameFaultAsTheChannel)
{
    TestProgram t;
    t.started();
    Form1& f = t.form;
    const auto command = [&t](const char* line) { RunControlCommand(t.program, t.line, line, [](const QString&) {}); };
    const auto type = [](TextBox& box, const char* text) { box.setText(QString::fromUtf8(text)); };
    const struct {
        const char* what;
        std::function<void()> step;
        const char* inForce;
    } steps[] = {
        {"delay from the panel", [&] { f.Fault_Combo1.pick(1); type(f.Fault_Text1, "300"); f.Fault_Combo2.pick(1);
                                       type(f.Fault_Text2, "25%"); f.Fault_Command1.click(); }, "delay 300 rate 0.25"},
        {"a rate with a comma", [&] { type(f.Fault_Text2, "0,5"); f.Fault_Command1.click(); }, "delay 300 rate 0.5"},
        {"no reach: refused", [&] { type(f.Fault_Text2, "0"); f.Fault_Command1.click(); }, "delay 300 rate 0.5"},
        {"off from the panel", [&] { f.Fault_Command2.click(); }, "none"},
        {"from the channel", [&] { command("fault drop next 2"); }, "drop next 2"},
        {"counted down by a reply", [&] { t.port.receive(bytes({0x0E})); }, "drop next 1"},
        {"used up", [&] { t.port.receive(bytes({0x0E})); }, "none"},
    };
    for (const auto& s : steps) {
        s.step();
        EXPECT_EQ(f.Fault_Label5.caption(), s.inForce) << s.what;
        EXPECT_EQ(t.line.describe(), s.inForce) << s.what;
    }
    EXPECT_EQ(t.platform.messages.size(), 1) << "the refused one is said";
    EXPECT_TRUE(f.Fault_Text1.enabled());
    f.Fault_Combo1.pick(0);
    EXPECT_FALSE(f.Fault_Text1.enabled()) << "a delay only for a delay";
}
