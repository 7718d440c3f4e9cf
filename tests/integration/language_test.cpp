#include <gtest/gtest.h>

#include "app/language.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct Language : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }
    std::int16_t storedLanguage() const { return DecodeSettings(t.storedFile(), t.defaults())->intLanguage; }
};

}  // namespace

TEST_F(Language, TheMenuSwitchesBothWaysAndWritesTheFile)
{
    const QString english = QStringLiteral("Korvalen       Dravilo v.2.00               Today: March 5,  2026");
    const QString russian = QString::fromUtf8("Korvalen       Dravilo v.2.00               Сегодня: 5  Марта  2026 года  ") +
                            t.platform.weekdayName(4);
    EXPECT_EQ(t.form.Caption.caption(), english);

    t.form.Command1.click();
    t.form.mnu_rus.click();
    EXPECT_EQ(t.form.Caption.caption(), russian);
    EXPECT_EQ(storedLanguage(), 1);
    EXPECT_EQ(t.form.mnu_File.caption(), QString::fromUtf8("Меню"));
    EXPECT_EQ(t.form.Label8.caption(), QString::fromUtf8("Настройка СОМ порта "));
    EXPECT_EQ(t.form.Label1[3].caption(), QString::fromUtf8("бит"));
    EXPECT_EQ(t.form.Label1[0].caption(), QString::fromUtf8("СOM"));
    EXPECT_EQ(t.form.mnu_rus.caption(), "rus");
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);  // the type handling ran: the load is off
    EXPECT_EQ(t.form.Fault_Label5.caption(), QString::fromUtf8("нет"));

    t.platform.date = QDate(2026, 12, 31);
    t.form.mnu_eng.click();
    EXPECT_EQ(t.form.Caption.caption(), "Korvalen       Dravilo v.2.00               Today: December 31,  2026");
    EXPECT_EQ(storedLanguage(), 0);
    EXPECT_EQ(t.form.Label1[3].caption(), QString::fromUtf8("бит"));
    EXPECT_EQ(t.form.Check2.caption(), "Cicle");
    EXPECT_EQ(t.form.Basis_Command1.caption(), "To sample");
    EXPECT_EQ(t.form.Fault_Label5.caption(), "none");

    // The active language again: the whole switch runs again, title, type
    // handling and save, as a version that returns early would not.
    t.platform.date = QDate(2027, 1, 1);
    t.form.Command1.click();
    t.settings.intSendPeriod = 77;
    t.form.mnu_eng.click();
    EXPECT_EQ(t.form.Caption.caption(), "Korvalen       Dravilo v.2.00               Today: January 1,  2027");
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);
    EXPECT_EQ(DecodeSettings(t.storedFile(), t.defaults())->intSendPeriod, 77);
}

TEST(LanguageStored, AnUnknownValueLeavesTheBuiltInTextsUntilTheMenuRepairsIt)
{
    TestProgram t;
    SettingsRecord stored = t.defaults();
    stored.intLanguage = 7;
    t.store(EncodeSettings(stored));
    t.started();
    EXPECT_EQ(t.settings.intLanguage, 7);
    EXPECT_EQ(t.form.Caption.caption(), "Dravilo v.2.00");
    EXPECT_EQ(t.form.Command3.caption(), QString::fromUtf8("Снять"));
    EXPECT_EQ(t.form.Frame4.caption(), QString::fromUtf8("ЗЕЛМ-2"));  // type captions: Russian for any value but 0
    EXPECT_TRUE(t.program.strMonthName.isEmpty());

    t.form.mnu_eng.click();
    EXPECT_EQ(t.form.Command3.caption(), "Take off");
    EXPECT_EQ(t.program.strMonthName, "March");
}
