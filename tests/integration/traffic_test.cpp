#include <gtest/gtest.h>

#include <functional>

#include "app/control_commands.h"
#include "app/traffic_decoding.h"
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

QString answerOf(TestProgram& t, const QString& line)
{
    QString answer;
    RunControlCommand(t.program, t.line, line, [&answer](const QString& a) { answer = a; });
    return answer;
}

// What the panel shows, in the window's language.
QStringList shownWhats(const Program& p)
{
    QStringList whats;
    for (std::size_t i = 0; i < p.trafficRows.shownCount(); ++i)
        whats << TrafficWhat(p.trafficRows.shown(i), p.settings.intLanguage);
    return whats;
}

}  // namespace

TEST(Traffic, AHostSessionReadsClearly)
{
    TestProgram t;
    const auto command = [&t](const char* line) { EXPECT_EQ(answerOf(t, line), "ok") << line; };
    const QString s2 = "S2=09 (D3-point in price, D0-point in weight)";
    const struct {
        const char* what;
        std::function<void()> step;
        QStringList traffic;
    } session[] = {
        {"start", [&] { t.started(); command("sway 0 0"); }, {"program port COM2 opened: 9600,n,8,1"}},
        {"status", [&] { t.port.receive(bytes({0x0E})); },
         {"from-host 0E \".\" status request", "to-host 00 09 0D 0A \"....\" status: S1=00, " + s2}},
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
        {"a dropped frame", [&] { command("fault drop next 1"); t.port.receive(bytes({0x0A})); },
         {"from-host 0A \".\" weight request",
          "to-host 00 00 00 00 00 00 04 02 00 01 00 00 00 00 00 00 00 00 0D 0A \"....................\" weight frame: "
          "weight 00000.0, price 0010.24, cost 0000.00 (mode 0)",
          "program drop"}},
        {"a weight in two decimals",
         [&] { command("format 0000.00"); command("weight1 12.5"); command("press weight1"); t.port.takeSent();
               t.port.receive(bytes({0x0A})); },
         {"from-host 0A \".\" weight request",
          "to-host 00 05 02 01 00 00 04 02 00 01 00 00 00 00 08 02 01 00 0D 0A \"....................\" weight frame: "
          "weight 0012.50, price 0010.24, cost 0128.00 (mode 0)"}},
        {"a price that outgrows its field", [&] { command("price 20000"); t.port.receive(bytes({0x0A})); },
         {"from-host 0A \".\" weight request",
          "to-host 00 05 02 01 00 00 00 00 00 00 00 00 02 00 00 00 00 00 00 05 02 0D 0A \".......................\" "
          "weight frame: weight 0012.50, price 20000.00, cost 250000.00 (mode 0)"}},
        {"bytes by hand", [&] { command("send 00 09 0D"); }, {"program 00 09 0D \"...\" sent by hand"}},
        // Its answer comes with the re-configuration, after the call: nothing to hold it here.
        {"a refused pick", [&] { RunControlCommand(t.program, t.line, "port 2 9600 n 9 1", [](const QString&) {});
                                 t.clock.advance(100); },
         {"program port closed", "program pick refused: Недопустимо: Invalid Setting: 9600,n,9,1",
          "program port COM2 opened: 9600,n,8,1"}},
        {"a closed port", [&] { t.port.setPortOpen(false); t.port.receive(bytes({0x0E})); },
         {"from-host 0E \".\" status request",
          "to-host 01 0A 0D 0A \"....\" status: S1=01 (D0-Neto), S2=0A (D3-point in price, D1-point in weight)",
          "program not sent: the port is closed"}},
        {"ZELM-1",
         [&] { t.port.setPortOpen(true); command("type zelm1"); t.port.receive(bytes({0x0A})); t.clock.advance(150); },
         {"from-host ZELM-1 is selected: nothing read",
          "to-host 57 57 30 30 30 30 2E 30 30 6B 67 0D 0A \"WW0000.00kg..\" ZELM-1 line: weight 0000.00 kg, "
          "format 0000.00"}},
    };
    for (const auto& s : session)
        EXPECT_EQ(trafficOf(t, s.step).join("\n").toStdString(), s.traffic.join("\n").toStdString()) << s.what;

    // The channel's "traffic" answers the same lines, oldest first, on one line.
    const auto& events = t.program.traffic.events();
    EXPECT_EQ(answerOf(t, "traffic 2"), TrafficLine(events[events.size() - 2]) + " | " + TrafficLine(events.back()));
}

// The record's watchers (the log) hear of a request and its reply once the
// reply is on the line, in the order they happened: the record never holds
// a reply back.
TEST(Traffic, WatchersHearOfARequestOnceItsReplyIsOut)
{
    TestProgram t;
    t.started();
    t.port.takeSent();
    QStringList told;
    t.program.traffic.watch([&t, &told](const TrafficEvent& e) {
        const qsizetype sent = t.port.sent.join().size();
        told << TrafficWhat(e, 0).section(u':', 0, 0) + QStringLiteral(" after %1 bytes").arg(sent);
    });
    t.port.receive(bytes({0x0A}));
    t.port.receive(bytes({0x0E}));
    answerOf(t, "type zelm1");
    t.port.takeSent();
    t.clock.advance(150);
    EXPECT_EQ(told, QStringList({"weight request after 20 bytes", "weight frame after 20 bytes",
                                 "status request after 24 bytes", "status after 24 bytes",
                                 "ZELM-1 line after 13 bytes"}));
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
    EXPECT_EQ(t.program.traffic.events().back().words.size(), Traffic::kLongestWords);

    for (std::size_t i = 0; i < Traffic::kKept; ++i)
        t.port.receive(QByteArray(1000, 'A'));
    const QString answer = answerOf(t, "traffic 10000");
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
    EXPECT_FALSE(RefreshTrafficPanel(p)) << "hidden";
    f.mnu_Traffic.click();
    EXPECT_TRUE(RefreshTrafficPanel(p));
    EXPECT_EQ(shownWhats(p), QStringList{"port COM2 opened: 9600,n,8,1"}) << "what came before it was shown";

    f.Traffic_Check1.setValue(1);
    t.port.receive(bytes({0x0E}));
    EXPECT_FALSE(RefreshTrafficPanel(p)) << "paused";
    f.Traffic_Check1.setValue(0);
    EXPECT_TRUE(RefreshTrafficPanel(p));
    EXPECT_EQ(shownWhats(p).size(), 3);

    f.Traffic_Command1.click();
    EXPECT_TRUE(RefreshTrafficPanel(p)) << "cleared: the view empties";
    EXPECT_FALSE(RefreshTrafficPanel(p)) << "and nothing new";
    EXPECT_TRUE(shownWhats(p).isEmpty());
    t.port.receive(bytes({0x0E}));
    EXPECT_TRUE(RefreshTrafficPanel(p));
    EXPECT_EQ(shownWhats(p).size(), 2);
    for (std::size_t i = 0; i < Traffic::kKept + 5; ++i)
        p.record(TrafficDirection::Program, {}, QString::number(i));
    EXPECT_TRUE(RefreshTrafficPanel(p));
    EXPECT_EQ(p.trafficRows.shownCount(), Traffic::kKept);
    EXPECT_EQ(shownWhats(p).first(), "5");
    EXPECT_EQ(shownWhats(p).last(), QString::number(Traffic::kKept + 4));

    QTemporaryDir dir;
    t.platform.fileAnswer = dir.filePath("traffic.txt");
    f.Traffic_Command2.click();
    QFile saved(t.platform.fileAnswer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    EXPECT_EQ(lines.size(), qsizetype(Traffic::kKept + 1));
    EXPECT_EQ(lines.first(), TrafficLine(p.trafficRows.shown(0)).toUtf8());
    EXPECT_TRUE(t.platform.messages.isEmpty());
    t.platform.fileAnswer = dir.filePath("gone/traffic.txt");
    f.Traffic_Command2.click();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_TRUE(t.platform.messages[0].startsWith("The traffic cannot be saved to " + t.platform.fileAnswer));
}

// The filter picks the rows shown, by direction, by what a fault did, by a
// text in either language; the record, and so the log and "traffic", keep all.
TEST(TrafficPanel, FilterShowsOnlyTheRowsAsked)
{
    TestProgram t;
    t.started();
    Form1& f = t.form;
    Program& p = t.program;
    f.mnu_Traffic.click();
    answerOf(t, "sway 0 0");
    t.port.receive(bytes({0x0E}));
    answerOf(t, "fault drop next 1");
    t.port.receive(bytes({0x0A}));
    const std::size_t recorded = p.traffic.events().size();
    const QString status = "status: S1=00, S2=09 (D3-point in price, D0-point in weight)";
    const QString frame = "weight frame: weight 00000.0, price 0010.24, cost 0000.00 (mode 0)";
    const struct {
        int which;
        const char* text;
        QStringList shown;
    } rows[] = {
        {0, "", {"port COM2 opened: 9600,n,8,1", "status request", status, "weight request", frame, "drop"}},
        {1, "", {"status request", "weight request"}},
        {2, "", {status, frame}},
        {3, "", {"port COM2 opened: 9600,n,8,1", "drop"}},
        {4, "", {"drop"}},
        {0, "STATUS", {"status request", status}},
        {0, "запрос", {"status request", "weight request"}},
        {2, "frame", {frame}},
        {4, "weight", {}},
    };
    for (const auto& row : rows) {
        f.Traffic_Combo1.pick(row.which);
        f.Traffic_Text1.setText(QString::fromUtf8(row.text));
        RefreshTrafficPanel(p);
        EXPECT_EQ(shownWhats(p), row.shown) << row.which << " " << row.text;
    }
    EXPECT_EQ(p.traffic.events().size(), recorded) << "the record keeps every event";

    // New rows meet the filter in force.
    t.port.receive(bytes({0x0E}));
    RefreshTrafficPanel(p);
    EXPECT_EQ(shownWhats(p), QStringList{}) << "line faults with weight";
    f.Traffic_Combo1.pick(1);
    f.Traffic_Text1.setText("");
    RefreshTrafficPanel(p);
    EXPECT_EQ(shownWhats(p), QStringList({"status request", "weight request", "status request"}));
}

// The panel speaks the window's language; the log, the saved file and
// "traffic" keep English, which scripts read.
TEST(TrafficPanel, SpeaksTheWindowsLanguage)
{
    TestProgram t;
    t.started();
    Form1& f = t.form;
    f.mnu_Traffic.click();
    f.Traffic_Combo1.pick(1);
    t.port.receive(bytes({0x0E}));
    const struct {
        MenuItem* language;
        const char16_t *direction, *what, *reply, *show, *send;
    } rows[] = {
        {&f.mnu_rus, u"от хоста", u"запрос состояния",
         u"состояние: S1=00, S2=09 (D3-положение точки в цене, D0-положение точки в весе)", u"от хоста", u"Послать"},
        {&f.mnu_eng, u"from-host", u"status request", u"status: S1=00, S2=09 (D3-point in price, D0-point in weight)",
         u"from-host", u"Send"},
    };
    for (const auto& row : rows) {
        row.language->click();
        const std::int16_t language = t.settings.intLanguage;
        const auto& events = t.program.traffic.events();
        const TrafficEvent& request = events[events.size() - 2];
        EXPECT_EQ(TrafficFieldOf(request, TrafficField::Direction, language), QString::fromUtf16(row.direction));
        EXPECT_EQ(TrafficFieldOf(request, TrafficField::What, language), QString::fromUtf16(row.what));
        EXPECT_EQ(TrafficWhat(events.back(), language), QString::fromUtf16(row.reply));
        EXPECT_EQ(f.Traffic_Combo1.text(), QString::fromUtf16(row.show)) << "the choice stays";
        EXPECT_EQ(f.Traffic_Command3.caption(), QString::fromUtf16(row.send));
        EXPECT_TRUE(answerOf(t, "traffic 2").contains("from-host 0E \".\" status request | ")) << "English";
    }
}

// Bytes typed in HEX go to the host as the terminal, from the channel or the
// panel, and are recorded; what is no HEX, too much or not sent is said.
TEST(BytesByHand, GoToTheHostAndAreRecorded)
{
    TestProgram t;
    t.started();
    Form1& f = t.form;
    f.mnu_Traffic.click();
    const auto press = [&t, &f](const QString& hex) {
        f.Traffic_Text2.setText(hex);
        f.Traffic_Command3.click();
        return t.platform.messages.isEmpty() ? QStringLiteral("ok") : t.platform.messages.takeLast();
    };
    const struct {
        std::function<QString()> send;
        const char* sent;
        QString answer;
    } rows[] = {
        {[&] { return answerOf(t, "send 00 09 0D 0A"); }, "00090d0a", "ok"},
        {[&] { return answerOf(t, "send ff"); }, "ff", "ok"},
        {[&] { return answerOf(t, "send"); }, "",
         "error: nothing to send: give bytes in HEX, such as 0A or 00 09 0D 0A"},
        {[&] { return answerOf(t, "send 0A 0D 0"); }, "",
         "error: 0 is not bytes in HEX: each byte is two HEX digits, such as 0A or 00 09 0D 0A"},
        {[&] { return press("0A0D"); }, "0a0d", "ok"},
        {[&] { f.mnu_rus.click(); return press("0A zz"); }, "",
         "«zz» не байты в HEX: каждый байт — две цифры HEX, например 0A или 00 09 0D 0A"},
        {[&] { t.port.setPortOpen(false); return press("0A"); }, "", "Не послано: the port is closed"},
        {[&] { return answerOf(t, "send 0A"); }, "", "error: not sent: the port is closed"},
    };
    for (const auto& row : rows) {
        const std::size_t before = t.program.traffic.events().size();
        t.port.takeSent();
        EXPECT_EQ(row.send(), row.answer);
        EXPECT_EQ(t.port.takeSent().toHex(), row.sent) << row.answer.toStdString();
        const auto& events = t.program.traffic.events();
        const bool tried = events.size() > before;
        EXPECT_EQ(tried, QByteArray(row.sent).size() > 0 || row.answer.contains("port is closed"));
        if (tried) {
            EXPECT_EQ(events[before].direction, TrafficDirection::Program);
            EXPECT_EQ(events[before].words, "sent by hand");
        }
    }
}

// The panel and the channel's "fault" are two views of one fault: the
// panel's lists show the fault in force whoever set it, and count down with it.
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
        const char* lists;  // kind, delay, reach and its number as the panel shows them
    } steps[] = {
        {"delay from the panel", [&] { f.Fault_Combo1.pick(1); type(f.Fault_Text1, "300"); f.Fault_Combo2.pick(1);
                                       type(f.Fault_Text2, "25%"); f.Fault_Command1.click(); },
         "delay 300 rate 0.25", "delay 300 rate 0.25"},
        {"a rate with a comma", [&] { type(f.Fault_Text2, "0,5"); f.Fault_Command1.click(); }, "delay 300 rate 0.5",
         "delay 300 rate 0.5"},
        {"no reach: refused", [&] { type(f.Fault_Text2, "0"); f.Fault_Command1.click(); }, "delay 300 rate 0.5",
         "delay 300 rate 0"},
        {"off from the panel", [&] { f.Fault_Command2.click(); }, "none", "delay 300 rate 0"},
        {"from the channel", [&] { command("fault drop next 2"); }, "drop next 2", "drop - next 2"},
        {"counted down by a reply", [&] { t.port.receive(bytes({0x0E})); }, "drop next 1", "drop - next 1"},
        {"used up", [&] { t.port.receive(bytes({0x0E})); }, "none", "drop - next 1"},
        {"a delay from the channel", [&] { command("fault delay 400 rate 10%"); }, "delay 400 rate 0.1",
         "delay 400 rate 0.1"},
    };
    for (const auto& s : steps) {
        s.step();
        const QString lists = QStringList{f.Fault_Combo1.text(), f.Fault_Text1.enabled() ? f.Fault_Text1.text() : "-",
                                          f.Fault_Combo2.text(), f.Fault_Text2.text()}
                                  .join(' ');
        EXPECT_EQ(f.Fault_Label5.caption(), s.inForce) << s.what;
        EXPECT_EQ(t.line.describe(), s.inForce) << s.what;
        EXPECT_EQ(lists, s.lists) << s.what;
    }
    EXPECT_EQ(t.platform.messages.size(), 1) << "the refused one is said";
    f.Fault_Combo1.pick(0);
    EXPECT_FALSE(f.Fault_Text1.enabled()) << "a delay only for a delay";
}
