#pragma once

namespace dravilo {

class Program;

// The one way a weight frame is made: lamp on, one sway step, the frame of
// the current terminal type into strFrame.
void BuildFrame(Program& p);

}  // namespace dravilo
