#pragma once

namespace dravilo {

class Program;

// Weight 1 on, one period, Take off and count, one period, up to the maximum.
void Text4_Change(Program& p);  // the maximum number of cycles
void Text7_Change(Program& p);  // the period in seconds
void Check2_Click(Program& p);  // cycles on or off
void Timer3_Timer(Program& p);  // one second of the cycle clock

}  // namespace dravilo
