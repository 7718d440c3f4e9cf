#pragma once

// The control channel's language: one command per line, one answer line per
// command ("ok", the value asked for, or "error: " and why). Every command
// acts through the window's control models as a person's keystrokes and
// clicks do, so the same handlers run and the window shows the change.

#include <QString>
#include <functional>

namespace dravilo {

class LineFaults;
class Program;

using ControlAnswer = std::function<void(const QString& answer)>;

// Runs one command line on the program and the faults of its line. `answer`
// is called once: at once, or, for a command whose outcome comes later (the
// port's re-configuration, a sleep), when it has come.
void RunControlCommand(Program& p, LineFaults& line, const QString& text, const ControlAnswer& answer);

}  // namespace dravilo
