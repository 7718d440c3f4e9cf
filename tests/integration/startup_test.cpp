#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "app/language.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

TEST(Startup, FirstStartWritesTheDefaultsAndTheDatedFolders)
{
    TestProgram t;
    t.started();
    EXPECT_EQ(t.storedFile(), EncodeSettings(t.defaults()));
    EXPECT_EQ(t.settings.strResultsFolder, t.programFolder());
    EXPECT_TRUE(QFileInfo(t.programFolder() + "2026/month3").isDir());
    EXPECT_EQ(t.program.strMonthFolder, t.programFolder() + QDir::toNativeSeparators("2026/month3"));
    EXPECT_EQ(t.platform.icons, QStringList{"Icon1"});
    EXPECT_TRUE(t.platform.messages.isEmpty());

    EXPECT_TRUE(t.port.portOpen());
    EXPECT_EQ(t.port.commPort(), 2);
    EXPECT_EQ(t.port.settings(), "9600,n,8,1");
    EXPECT_EQ(t.form.Shape1.fillColour(), kGreen);
    EXPECT_TRUE(t.port.sent.isEmpty());  // a ZELM-2 terminal says nothing on its own
}

TEST(Startup, EveryStoredFieldReachesItsPlace)
{
    TestProgram t;
    SettingsRecord stored = t.defaults();
    stored.intLanguage = 1;
    stored.strPortSettings = "19200,e,7,2";
    stored.intCommPort = 5;
    stored.lngBaudRate = 19200;
    stored.strParity = "e";
    stored.intDataBits = 7;
    stored.intStopBits = 2;
    stored.intSendPeriod = 40;
    stored.intTerminalType = 1;
    stored.intSwayCount = 5;
    stored.dblSwayAmplitude = 0.1234567;
    stored.lngCycleMax = 7;
    stored.lngCycleCount = 3;
    stored.lngCyclePeriod = 4;
    stored.intCycleOn = 1;
    t.store(EncodeSettings(stored));
    t.started();

    EXPECT_EQ(t.form.Command3.caption(), QString::fromUtf8("Снять"));
    EXPECT_TRUE(t.form.Caption.caption().contains(QString::fromUtf8("Сегодня: 5  Марта  2026 года  ")));
    EXPECT_EQ(t.port.commPort(), 5);
    EXPECT_EQ(t.port.settings(), "19200,e,7,2");
    const QStringList lists = {"5", "19200", "e", "7", "2"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(t.form.Combo1[i].text(), lists[i]) << i;
    EXPECT_EQ(t.form.Text1[0].text(), "40");
    EXPECT_EQ(t.form.Timer1.interval(), 40);
    EXPECT_TRUE(t.form.Option1[1].value());
    EXPECT_EQ(t.form.Frame4.caption(), QString::fromUtf8("ЗЕЛМ-1"));
    EXPECT_EQ(t.form.Text1[1].text(), "0.1234567");
    EXPECT_EQ(t.settings.dblSwayAmplitude, 0.1234567);
    EXPECT_EQ(t.form.Text1[2].text(), "5");
    EXPECT_EQ(t.state.intSwayLeft, 5);
    EXPECT_EQ(t.form.Text4.text(), "7");
    EXPECT_EQ(t.form.Text7.text(), "4");
    EXPECT_EQ(t.settings.lngCycleMax, 7);
    EXPECT_EQ(t.settings.lngCyclePeriod, 4);
    // Restored into their variables, not into the window: every run begins idle.
    EXPECT_EQ(t.settings.lngCycleCount, 3);
    EXPECT_EQ(t.settings.intCycleOn, 1);
    EXPECT_EQ(t.form.Check2.value(), 0);
    EXPECT_FALSE(t.form.Label22.visible());
    EXPECT_FALSE(t.form.Timer3.enabled());

    t.clock.advance(400);
    EXPECT_EQ(t.port.sent.size(), 10);
    EXPECT_EQ(t.port.sent.last(), QByteArray("WW00000.0kg\r\n"));
}

TEST(Startup, AStoredPeriodBelowOneMillisecondBecomesTheDefault)
{
    for (const std::int16_t stored : {0, -5}) {
        TestProgram t;
        SettingsRecord r = t.defaults();
        r.intSendPeriod = stored;
        t.store(EncodeSettings(r));
        t.started();
        EXPECT_EQ(t.form.Timer1.interval(), 150);
        EXPECT_EQ(t.form.Text1[0].text(), "150");
    }
}

TEST(Startup, TheTerminalStartsEmptyInItsInitialState)
{
    TestProgram t;
    t.started();
    EXPECT_EQ(t.state.bytS1, 0);
    EXPECT_EQ(t.state.bytS2, 9);
    EXPECT_EQ(t.form.Label28.caption(), "S2=00001001");
    EXPECT_EQ(t.state.strPriceFormat, "0000.00");
    EXPECT_EQ(t.state.intPriceDivisor, 100);
    EXPECT_EQ(t.state.intMode, 0);
    EXPECT_EQ(t.form.Text8.text(), "0010.24");
    EXPECT_EQ(t.form.Text10.text(), "0000.00");
    EXPECT_EQ(t.form.Combo2.listIndex(), 1);
    EXPECT_EQ(t.form.Text2[1].text(), "-00011.1");
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);
    EXPECT_EQ(t.state.dblWeight, 0);
    EXPECT_EQ(t.form.Shape3.fillColour(), kTestBackground);
}

TEST(Startup, NumbersInTheBoxesReadBackAsTheSameValue)
{
    const struct {
        double amplitude;
        QChar separator;
        const char* shown;
    } cases[] = {{0.1, u',', "0,1"}, {0.1234567, u'.', "0.1234567"}, {1e-07, u'.', "0.0000001"},
                 {2.5, u'\u066B', "2\u066B5"}};
    for (const auto& c : cases) {
        TestProgram t;
        t.platform.separator = c.separator;
        SettingsRecord stored = t.defaults();
        stored.dblSwayAmplitude = c.amplitude;
        t.store(EncodeSettings(stored));
        t.started();
        EXPECT_EQ(t.form.Text1[1].text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(t.settings.dblSwayAmplitude, c.amplitude) << c.shown;
    }
}

TEST(Startup, AFileThatCannotServeIsReplacedByTheDefaults)
{
    enum After { Defaults, DefaultsAndTail, Unchanged };
    // Each case makes its file from the defaults of its own program folder.
    const struct {
        const char* what;
        QByteArray (*file)(QByteArray defaults);
        After after;
    } cases[] = {
        {"empty", [](QByteArray) { return QByteArray(); }, Defaults},
        {"a length word over 498", [](QByteArray d) { return d.replace(0, 2, "\xF3\x01"); }, Defaults},
        {"random bytes", [](QByteArray) { return QByteArray(700, char(0xA5)); }, Defaults},
        // Another program's or version's file is written over, its tail kept.
        {"another magic", [](QByteArray d) { return d.replace(2, 7, "Foreign") + "tail"; }, DefaultsAndTail},
        {"another version", [](QByteArray d) { return d.replace(502, 6, "v.1.00") + "tail"; }, DefaultsAndTail},
        // A file ending inside the records keeps what it holds; the next save completes it.
        {"the first twelve fields", [](QByteArray d) { return d.replace(5500, 2, QByteArray("\x28\x00", 2)).left(5502); }, Unchanged},
    };
    for (const auto& c : cases) {
        TestProgram t;
        const QByteArray defaults = EncodeSettings(t.defaults());
        const QByteArray stored = c.file(defaults);
        t.store(stored);
        t.started();
        const QByteArray expected[] = {defaults, defaults + "tail", stored};
        EXPECT_EQ(t.storedFile(), expected[c.after]) << c.what;
        EXPECT_EQ(t.settings.intSendPeriod, c.after == Unchanged ? 40 : 150) << c.what;
        EXPECT_TRUE(t.platform.messages.isEmpty()) << c.what;
    }
}

TEST(Startup, APortThatCannotOpenIsReportedOnceAndTheProgramRunsOn)
{
    TestProgram t;
    t.port.missing = {2};
    t.started();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0], "no such device");
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
    EXPECT_EQ(t.form.Label30.caption(), "no such device");  // beside the indicator, as long as it is red
    EXPECT_EQ(t.form.Combo1[0].text(), "2");
    EXPECT_EQ(t.form.Timer1.interval(), 150);
    EXPECT_EQ(t.form.Text8.text(), "0010.24");  // the later steps still ran
    t.port.missing.clear();
    t.clock.advance(3000);
    EXPECT_FALSE(t.port.portOpen());  // it stays red until a pick
}

TEST(Startup, FoldersAndFilesThatCannotBeMadeAreSaidOnce)
{
    // A program folder under a plain file, or a settings "file" that is a
    // folder: nothing can be written, even by root, and the program runs on.
    for (const bool folderUnderAFile : {true, false}) {
        TestProgram t;
        if (folderUnderAFile) {
            QFile blocker(t.programFiles.path() + "/plain");
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
            t.platform.env["ProgramFiles"] = blocker.fileName();
        } else {
            QDir().mkpath(t.settingsPath());
        }
        t.started();
        EXPECT_FALSE(t.platform.messages.isEmpty());
        EXPECT_EQ(t.settings.intSendPeriod, 150);
        EXPECT_EQ(t.form.Shape1.fillColour(), kGreen);
        mnu_rus_Click(t.program);
        const QStringList said = t.platform.messages;
        mnu_eng_Click(t.program);  // saves that fail again are not said again
        Form_Unload(t.program);
        EXPECT_EQ(t.platform.messages.join("\n").toStdString(), said.join("\n").toStdString());
    }
}

TEST(Startup, ProgramFolderUnderProgramFilesOrTheUsersDataFolder)
{
    TestProgram t;
    t.platform.env["ProgramFiles"] = "  " + QDir::toNativeSeparators(t.programFiles.path());
    t.started();
    EXPECT_EQ(t.program.strProgramFolder, t.programFolder());
    EXPECT_EQ(t.program.strSettingsFile, "Dravilo v.2.00.eng");

    // Without ProgramFiles, and where it takes no files (a normal user's
    // Program Files; here a path through a file): the user's own folder, said once.
#ifdef Q_OS_WIN
    const char* dataVariable = "LOCALAPPDATA";
#else
    const char* dataVariable = "XDG_DATA_HOME";
#endif
    for (const bool unset : {true, false}) {
        TestProgram u;
        const QString data = QDir::toNativeSeparators(u.programFiles.path() + "/data");
        const QString blocked = QDir::toNativeSeparators(u.programFiles.path() + "/file/Program Files");
        QFile(u.programFiles.path() + "/file").open(QIODevice::WriteOnly);
        if (unset)
            u.platform.env.remove("ProgramFiles");
        else
            u.platform.env["ProgramFiles"] = blocked;
        u.platform.env[dataVariable] = data;
        u.started();
        const QString expected = data + QDir::separator() + "Dravilo v.2.00" + QDir::separator();
        EXPECT_EQ(u.program.strProgramFolder, expected) << unset;
        EXPECT_TRUE(QFileInfo(u.program.strProgramFolder + "Dravilo v.2.00.eng").isFile()) << unset;
        EXPECT_EQ(u.platform.messages,
                  unset ? QStringList()
                        : QStringList{"The folder " + blocked + QDir::separator() + "Dravilo v.2.00" +
                                      QDir::separator() + " takes none of the program's files; they are kept in " +
                                      expected});
    }
#ifndef Q_OS_WIN
    TestProgram v;
    v.platform.env.remove("ProgramFiles");
    v.platform.env["HOME"] = v.programFiles.path();
    EXPECT_EQ(ProgramFolder(v.program), v.programFiles.path() + "/.local/share/Dravilo v.2.00/");
#endif
}

TEST(Shutdown, ClosingTheWindowClosesThePortThenSaves)
{
    TestProgram t;
    t.started();
    t.settings.intSendPeriod = 40;  // changed during the run, saved at the end
    const QByteArray before = t.storedFile();
    QStringList order;
    t.port.onClose = [&] { order << (t.storedFile() == before ? "closed before the save" : "closed after"); };
    t.platform.onProcessEvents = [&] {
        order << (t.port.portOpen() ? "events with the port open" : "events after both");
    };
    Form_Unload(t.program);
    EXPECT_EQ(order, (QStringList{"closed before the save", "events after both"}));
    EXPECT_EQ(DecodeSettings(t.storedFile(), t.defaults())->intSendPeriod, 40);
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
    EXPECT_EQ(t.platform.ended, 0);
}

TEST(Shutdown, ExitSavesWithThePortStillOpenAndEnds)
{
    TestProgram t;
    t.started();
    t.settings.intSendPeriod = 40;
    bool savedBeforeEvents = false;
    t.platform.onProcessEvents = [&] {
        savedBeforeEvents = DecodeSettings(t.storedFile(), t.defaults())->intSendPeriod == 40;
    };
    t.form.mnu_Exit.click();
    EXPECT_TRUE(savedBeforeEvents);
    EXPECT_TRUE(t.port.portOpen());
    EXPECT_EQ(t.port.closed, 0);
    EXPECT_EQ(t.platform.ended, 1);
}

TEST(Startup, WhatKilledSavesLeftIsRemoved)
{
    TestProgram t;
    ASSERT_TRUE(QDir().mkpath(t.programFolder()));
    const QString killed = t.settingsPath() + ".aB3xY9";
    const QString underWay = t.settingsPath() + ".Zz99Yy";  // another emulator's, a moment old
    const QString theUsers = t.settingsPath() + ".backup";
    for (const QString& path : {killed, underWay, theUsers}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (path == killed)
            file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    }
    t.started();
    EXPECT_FALSE(QFileInfo::exists(killed));
    EXPECT_TRUE(QFileInfo::exists(underWay));
    EXPECT_TRUE(QFileInfo::exists(theUsers));
}
