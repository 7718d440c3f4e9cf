#pragma once

#include <QString>

namespace dravilo {

class Program;

// From a freshly built window to a running terminal on the stored settings.
void Form_Load(Program& p);
// The window closes: the port is released, then the settings are saved.
void Form_Unload(Program& p);
// The menu's "Exit": the settings are saved and the program ends at once.
void mnu_Exit_Click(Program& p);

// The folder of the program's files: "Dravilo v.2.00" under the
// "ProgramFiles" folder, or under the user's data folder where that variable
// is not set. Ends in the path separator.
QString ProgramFolder(const Program& p);

}  // namespace dravilo
