#pragma once

namespace dravilo {

class Program;

// The stored language on the whole window: captions, the dated title, and
// the terminal-type handling for the captions that follow the type.
void ApplyLanguage(Program& p);
// Today's month in the current language, for the title.
void MonthNameForLanguage(Program& p);
void mnu_rus_Click(Program& p);
void mnu_eng_Click(Program& p);

}  // namespace dravilo
