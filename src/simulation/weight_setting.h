#pragma once

namespace dravilo {

class Program;

void Text9_Change(Program& p, int row);  // a set weight was edited
void Text2_Change(Program& p, int row);  // a formatted weight changed
void Combo2_Click(Program& p);           // the weight format was chosen
void Command1_Click(Program& p);         // Weight 1
void Command2_Click(Program& p);         // Weight 2
void Command3_Click(Program& p);         // Take off: the reset of the load

}  // namespace dravilo
