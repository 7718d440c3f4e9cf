#pragma once

namespace dravilo {

class Program;

void mnu_Setting_Click(Program& p);     // shows or hides the program settings panel
void Basis_Command1_Click(Program& p);  // the user chooses the results folder

}  // namespace dravilo
