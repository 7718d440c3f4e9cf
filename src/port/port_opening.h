#pragma once

namespace dravilo {

class Program;

// Opens the port with the stored number and settings; reports the first
// failure in a message box and goes on with the port closed.
void OpenPortAtStartup(Program& p);
// The port indicator: green while the port is open, red otherwise.
void ShowPortState(Program& p);
void ClosePort(Program& p);

}  // namespace dravilo
