#include "app/language.h"

#include "base/captions.h"
#include "program/program.h"
#include "app/settings_file.h"
#include "port/port_configuration.h"
#include "terminal/terminal_type.h"

namespace dravilo {

namespace {

bool known(std::int16_t language) { return language == 0 || language == 1; }

void switchTo(Program& p, std::int16_t language)
{
    p.settings.intLanguage = language;
    ApplyLanguage(p);
    SaveSettings(p);
}

}  // namespace

void MonthNameForLanguage(Program& p)
{
    if (known(p.settings.intLanguage))
        p.strMonthName = MonthName(p.settings.intLanguage, p.platform.today().month());
}

void ApplyLanguage(Program& p)
{
    const std::int16_t language = p.settings.intLanguage;
    ApplyCaptions(p.form, language);
    // Another stored value names no language: the title stays as it was.
    if (known(language)) {
        MonthNameForLanguage(p);
        const QDate today = p.platform.today();
        p.form.Caption.setCaption(
            WindowTitle(language, today, p.strMonthName, p.platform.weekdayName(today.dayOfWeek())));
    }
    Option1_Click(p);
    FillDeviceList(p);  // its virtual port's entry is in the language too
    ShowPortState(p);
    for (const std::function<void()>& show : p.alsoInTheLanguage)
        show();
}

void mnu_rus_Click(Program& p) { switchTo(p, 1); }
void mnu_eng_Click(Program& p) { switchTo(p, 0); }

}  // namespace dravilo
