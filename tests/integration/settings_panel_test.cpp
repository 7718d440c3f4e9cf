#include <gtest/gtest.h>

#include <QDir>

#include "local_text.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct SettingsPanel : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }
    QString storedFolder() const { return DecodeSettings(t.storedFile(), t.defaults())->strResultsFolder; }
};

}  // namespace

TEST_F(SettingsPanel, TheMenuShowsAndHidesIt)
{
    EXPECT_FALSE(t.form.Basis_Frame1.visible());
    EXPECT_TRUE(t.form.Basis_Text1.text().isEmpty());
    t.form.mnu_Setting.click();
    EXPECT_TRUE(t.form.Basis_Frame1.visible());
    EXPECT_EQ(t.form.Basis_Text1.text(), t.programFolder());
    EXPECT_TRUE(t.form.Basis_Text1.locked());
    t.form.mnu_Setting.click();
    EXPECT_FALSE(t.form.Basis_Frame1.visible());
}

TEST_F(SettingsPanel, AChosenFolderIsShownAndSavedAtOnce)
{
    t.form.mnu_Setting.click();
    const QString folder = LocalText({u"/data/Результаты", u"/data/Résultats"});
    // A folder is kept with the system's separators, one at its end.
    const struct {
        QString answer;
        QString stored;
    } cases[] = {
        {folder, QDir::toNativeSeparators(folder + "/")},
        {"/", QDir::toNativeSeparators("/")},
        {"", QDir::toNativeSeparators("/")},  // cancelled: nothing changes
        {"/" + QString(498, u'a'), QDir::toNativeSeparators("/")},  // longer than a record holds: refused
    };
    std::int16_t saved = t.settings.intSendPeriod;
    for (const auto& c : cases) {
        t.platform.messages.clear();
        t.platform.folderAnswer = c.answer;
        // A change that only a save of the file would show.
        const std::int16_t unsaved = ++t.settings.intSendPeriod;
        t.form.Basis_Command1.click();
        const bool refused = c.answer.isEmpty() || c.answer.size() > 400;
        saved = refused ? saved : unsaved;
        EXPECT_EQ(t.form.Basis_Text1.text(), c.stored);
        EXPECT_EQ(t.settings.strResultsFolder, c.stored);
        EXPECT_EQ(storedFolder(), c.stored);
        EXPECT_EQ(DecodeSettings(t.storedFile(), t.defaults())->intSendPeriod, saved) << "written: " << !refused;
        EXPECT_EQ(t.platform.messages.size(), c.answer.size() > 400 ? 1 : 0);
    }
    EXPECT_EQ(t.platform.folderTitles.first(), QString::fromUtf8("Выберите директорию для хранения результата:"));
}
