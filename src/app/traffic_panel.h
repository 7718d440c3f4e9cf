#pragma once

#include <QString>

namespace dravilo {

class Program;
class TrafficRows;

void mnu_Traffic_Click(Program& p);       // shows or hides the traffic panel
void Traffic_Command1_Click(Program& p);  // clears the panel's rows
void Traffic_Command2_Click(Program& p);  // saves the panel's rows to a file the user chooses

// Brings the panel's rows up to date, as often as the window redraws it.
// False when they stand as they were: the panel is hidden or paused, or
// nothing has happened on the line since.
bool RefreshTrafficPanel(Program& p);

// The rows as lines of text, one per row, to `path`; the reason when that
// fails, empty otherwise.
QString SaveTrafficRows(const TrafficRows& rows, const QString& path);

}  // namespace dravilo
