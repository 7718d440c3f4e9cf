#pragma once

#include <QString>

namespace dravilo {

class Program;

// The settings file in the program folder.
QString SettingsPath(const Program& p);

// The record from the file. A file whose content cannot be read as the
// fields ends in the defaults, deleted and written afresh; a file that
// cannot be opened at all is left alone, the program runs on defaults and
// never writes over it.
void LoadSettings(Program& p);

// The record into the file, replacing it whole or not at all; the bytes
// beyond the last record stay. Where the folder refuses a new file, the
// file is written in place. A failure is said once and counted; false then.
bool SaveSettings(Program& p);

// Removes what saves that were killed midway left in the program folder.
void RemoveStaleSaves(const Program& p);

}  // namespace dravilo
