#include <gtest/gtest.h>

#include <QDir>

#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

TEST(Startup, DefaultSettingsGiveARunningZelm2Terminal)
{
    TestProgram t;
    t.started();
    EXPECT_EQ(t.settings.intTerminalType, 0);
    EXPECT_TRUE(t.form.Option1[0].value());
    EXPECT_EQ(t.settings.intSendPeriod, 150);
    EXPECT_EQ(t.form.Timer1.interval(), 150);
    EXPECT_TRUE(t.form.Timer1.enabled());
    EXPECT_EQ(t.form.Text1[0].text(), "150");
    EXPECT_EQ(t.form.Text1[1].text(), "0.1");
    EXPECT_EQ(t.form.Text1[2].text(), "3");
    EXPECT_EQ(t.settings.dblSwayAmplitude, 0.1);
    EXPECT_EQ(t.settings.intSwayCount, 3);
    EXPECT_EQ(t.state.intSwayLeft, 3);

    EXPECT_EQ(t.state.bytS1, 0);
    EXPECT_EQ(t.state.bytS2, 9);
    EXPECT_EQ(t.form.Label27.caption(), "S1=00000000");
    EXPECT_EQ(t.form.Label28.caption(), "S2=00001001");
    EXPECT_EQ(t.form.Check3[4].value(), 1);
    EXPECT_EQ(t.form.Check3[7].value(), 1);
    EXPECT_EQ(t.state.strPriceFormat, "0000.00");
    EXPECT_EQ(t.state.intPriceDivisor, 100);
    EXPECT_EQ(t.state.intMode, 0);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 10.24);
    EXPECT_EQ(t.form.Text8.text(), "0010.24");
    EXPECT_EQ(t.form.Text10.text(), "0000.00");

    EXPECT_EQ(t.form.Combo2.listIndex(), 1);
    EXPECT_EQ(t.state.strWeightFormat, "00000.0");
    EXPECT_EQ(t.form.Text2[0].text(), "00011.1");
    EXPECT_EQ(t.form.Text2[1].text(), "-00011.1");
    EXPECT_EQ(t.form.Text2[2].text(), "00000.0");
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);
    EXPECT_EQ(t.form.Shape2[0].fillColour(), kRed);
    EXPECT_EQ(t.state.dblWeight, 0);
    EXPECT_EQ(t.form.Shape3.fillColour(), kTestBackground);
}

TEST(Startup, OpensTheStoredPortAndShowsItGreen)
{
    TestProgram t;
    t.started();
    EXPECT_TRUE(t.port.portOpen());
    EXPECT_EQ(t.port.commPort(), 2);
    EXPECT_EQ(t.port.settings(), "9600,n,8,1");
    EXPECT_EQ(t.form.Shape1.fillColour(), kGreen);
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_TRUE(t.port.sent.isEmpty());  // a ZELM-2 terminal says nothing on its own
}

TEST(Startup, APortThatCannotOpenIsReportedOnceAndTheProgramRunsOn)
{
    TestProgram t;
    t.port.missing = {2};
    t.started();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0], "no such device");
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
    EXPECT_EQ(t.form.Timer1.interval(), 150);
    EXPECT_EQ(t.form.Text8.text(), "0010.24");  // the later steps still ran
}

TEST(Startup, EnglishCaptionsByDefault)
{
    TestProgram t;
    t.started();
    EXPECT_EQ(t.form.Label6.caption(), "Working with weights");
    EXPECT_EQ(t.form.Command3.caption(), "Take off");
    EXPECT_EQ(t.form.Frame4.caption(), "ZELM-2");
    EXPECT_EQ(t.form.Label10.caption(), "Weight");
    EXPECT_EQ(t.form.Label25.caption(), "Price");
    EXPECT_EQ(t.form.Label26.caption(), "Cost");
    EXPECT_EQ(t.form.Label17.caption(), "Port settings: COM");
}

TEST(Startup, CommaLocaleWritesCommasAndReadsThemBack)
{
    TestProgram t;
    t.platform.separator = u',';
    t.started();
    EXPECT_EQ(t.form.Text1[1].text(), "0,1");
    EXPECT_EQ(t.settings.dblSwayAmplitude, 0.1);
    EXPECT_EQ(t.form.Text2[0].text(), "00011,1");
    EXPECT_EQ(t.form.Text8.text(), "0010,24");
}

TEST(Startup, CreatesTheProgramFolder)
{
    TestProgram t;
    t.platform.env["ProgramFiles"] = "  " + t.programFiles.path();
    t.started();
    EXPECT_EQ(t.program.strProgramFolder, t.programFiles.path() + "/Dravilo v.2.00/");
    EXPECT_TRUE(QDir(t.program.strProgramFolder).exists());
    EXPECT_EQ(t.program.strSettingsFile, "Dravilo v.2.00.eng");
}

TEST(Startup, WithoutProgramFilesTheUsersDataFolderStandsIn)
{
    TestProgram t;
    t.platform.env.remove("ProgramFiles");
    t.platform.env["XDG_DATA_HOME"] = t.programFiles.path() + "/data";
    t.started();
    EXPECT_EQ(t.program.strProgramFolder, t.programFiles.path() + "/data/Dravilo v.2.00/");
    EXPECT_TRUE(QDir(t.program.strProgramFolder).exists());

    t.platform.env.remove("XDG_DATA_HOME");
    t.platform.env["HOME"] = t.programFiles.path();
    EXPECT_EQ(ProgramFolder(t.program), t.programFiles.path() + "/.local/share/Dravilo v.2.00/");
}

TEST(Shutdown, ClosingTheWindowReleasesThePort)
{
    TestProgram t;
    t.started();
    Form_Unload(t.program);
    EXPECT_FALSE(t.port.portOpen());
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
}
