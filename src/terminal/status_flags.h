#pragma once

namespace dravilo {

class Program;

void Check1_Click(Program& p);  // S1 recomputed from its eight boxes
void Check3_Click(Program& p);  // S2, then the price format and the mode it sets
// Captions of the terminal display for the current operating mode.
void ShowModeCaptions(Program& p);

}  // namespace dravilo
