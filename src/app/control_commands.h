#pragma once

// The control channel's language: one command per line, one answer line per
// command ("ok", the value asked for, or "error: " and why). Every command
// acts through the window's control models as a person's keystrokes and
// clicks do, so the same handlers run and the window shows the change.

#include <QString>

namespace dravilo {

class Program;

QString RunControlCommand(Program& p, const QString& line);

// The command set, one line each, as "help" answers it.
QString ControlCommandHelp();

}  // namespace dravilo
