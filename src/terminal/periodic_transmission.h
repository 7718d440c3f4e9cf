#pragma once

namespace dravilo {

class Program;

void Timer1_Timer(Program& p);  // the ZELM-1 terminal's own frame
void Command4_Click(Program& p);  // applies the send-period input
void Timer4_Timer(Program& p);  // the send lamp goes dark

// The weight frame built, shown with the display and written to the port:
// each ZELM-1 tick and each ZELM-2 weight request.
void SendWeightFrame(Program& p);
void LightSendLamp(Program& p);

}  // namespace dravilo
