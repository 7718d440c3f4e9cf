#pragma once

#include <QString>

namespace dravilo {

class Program;

// The settings file in the program folder.
QString SettingsPath(const Program& p);

// The record from the file. A file whose content cannot be read as the
// fields ends in the defaults, deleted and written afresh; a file that
// cannot be opened at all is left alone and the program runs on defaults.
void LoadSettings(Program& p);

// The record into the file, replacing it whole or not at all; the bytes
// beyond the last record stay. A failure is said once; false then.
bool SaveSettings(Program& p);

}  // namespace dravilo
