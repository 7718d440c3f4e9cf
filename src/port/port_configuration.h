#pragma once

#include <QString>

namespace dravilo {

class LineModel;
class Program;

// Opens the port with the stored number and settings; reports the last
// failure in a message box and goes on with the port closed.
void OpenPortAtStartup(Program& p);
// The port indicator: green while the port is open, red otherwise, with the
// reason beside it: `whyNotOpen` where one is given, else the port's own,
// else the one shown before; and below, what the line is.
void ShowPortState(Program& p, const QString& whyNotOpen = {});
// The indicator and its reason alone: what bytes arriving may change.
void ShowPortIndicator(Program& p, const QString& whyNotOpen = {});
void ClosePort(Program& p);

// A pick in one of the five port lists closes the port; 100 ms later
// Timer2 applies all five texts and opens it again.
void Combo1_Click(Program& p);
void Timer2_Timer(Program& p);

// The device list beside the five: what the line may be for COM n, filled
// anew as a person opens it. A device chosen there is taken by the port,
// which then opens again on it as after a pick.
void FillDeviceList(Program& p);
void Port_Combo1_DropDown(Program& p);
void Port_Combo1_Click(Program& p);

// What the window says of a line the line model paces: its pace, a host
// whose framing garbles the bytes, the frames that found it busy.
void ShowLinePace(Program& p, const LineModel& model);

// The device of the open port went away: until the user picks a list item,
// Timer5 tries the same port once a second.
void MSComm1_PortLost(Program& p);
void Timer5_Timer(Program& p);

}  // namespace dravilo
