#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace dravilo {

class Program;
class TrafficRows;

void mnu_Traffic_Click(Program& p);       // shows or hides the traffic panel
void Traffic_Command1_Click(Program& p);  // clears the panel's rows
void Traffic_Command2_Click(Program& p);  // saves the rows shown to a file the user chooses
// The filter: which rows (all, from-host, to-host, program, line faults),
// and a text their "what it is" holds, in either language. It changes what
// the panel shows, never the record or the log.
void Traffic_Combo1_Click(Program& p);
void Traffic_Text1_Change(Program& p);
void Traffic_Command3_Click(Program& p);  // sends the HEX typed beside it to the host

// Brings the panel's rows up to date, as often as the window redraws it.
// False when they stand as they were: the panel is hidden or paused, or
// nothing has happened on the line since and its filter is the same.
bool RefreshTrafficPanel(Program& p);

// The rows shown as lines of text, one per row, to `path`; the reason when
// that fails, empty otherwise.
QString SaveTrafficRows(const TrafficRows& rows, const QString& path);

// Bytes typed in HEX, two digits a byte, blanks between them or none:
// "0A", "00 09 0D 0A", "000D0A". Nothing, with why in `language`, when the
// text is no such bytes or more than may be sent at once.
constexpr qsizetype kMostBytesByHand = 1024;  // as HEX with blanks, still one control line
std::optional<QByteArray> HexBytes(const QString& text, QString& why, std::int16_t language);
// Sends them to the host as the terminal, by hand; why not, in `language`,
// or empty once they are on their way.
QString SendHexByHand(Program& p, const QString& hex, std::int16_t language);

}  // namespace dravilo
