#pragma once

#include <cstdint>

namespace dravilo {

class Program;

// One step of the sway, made by every frame build before it encodes.
void SwayStep(Program& p);
// The sway panel's "Change": stops a running sway and takes both inputs.
void Command5_Click(Program& p);
// Where the sway panel asks for it, S1 D4 ("weight unstable") follows the
// sway: set while the load swings, cleared once the weight has settled.
void ShowSwayAsUnstable(Program& p);
void Check4_Click(Program& p);
// The number-of-oscillations input as a whole number held in 16 bits.
std::int16_t SwayCountInput(const Program& p);

}  // namespace dravilo
