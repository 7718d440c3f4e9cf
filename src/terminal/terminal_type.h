#pragma once

namespace dravilo {

class Program;

void Option1_Click(Program& p);  // the terminal type was chosen
void Text11_Change(Program& p);  // the price input changed

}  // namespace dravilo
