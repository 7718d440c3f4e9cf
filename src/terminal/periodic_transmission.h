#pragma once

#include <cstdint>
#include <optional>

namespace dravilo {

class Program;

void Timer1_Timer(Program& p);  // the ZELM-1 terminal's own frame
void Command4_Click(Program& p);  // applies the send-period input
void Timer4_Timer(Program& p);  // the send lamp goes dark

void LightSendLamp(Program& p);
// Label18 and Label19: the port number and settings in use.
void ShowPortLine(Program& p);
// The frame in strFrame into the text and HEX views.
void ShowFrame(Program& p);
// The send-period input as a whole number of milliseconds, if it is one.
std::optional<std::int16_t> SendPeriodInput(const Program& p);

}  // namespace dravilo
