#pragma once

#include <QString>

namespace dravilo {

class Program;

// Opens the port with the stored number and settings; reports the last
// failure in a message box and goes on with the port closed.
void OpenPortAtStartup(Program& p);
// The port indicator: green while the port is open, red otherwise, with the
// reason beside it: `whyNotOpen` where one is given, else the port's own,
// else the one shown before.
void ShowPortState(Program& p, const QString& whyNotOpen = {});
void ClosePort(Program& p);

// A pick in one of the five port lists closes the port; 100 ms later
// Timer2 applies all five texts and opens it again.
void Combo1_Click(Program& p);
void Timer2_Timer(Program& p);

// The device of the open port went away: until the user picks a list item,
// Timer5 tries the same port once a second.
void MSComm1_PortLost(Program& p);
void Timer5_Timer(Program& p);

}  // namespace dravilo
