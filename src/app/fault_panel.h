#pragma once

namespace dravilo {

class LineFaults;
class Program;

// The line-fault panel sets and ends the same faults as the control
// channel's "fault", in the same words, and shows the one in force
// whoever set it.
void Fault_Combo1_Click(Program& p);  // the delay field is for a delay only
void Fault_Command1_Click(Program& p, LineFaults& line);  // applies the fault the panel describes
void Fault_Command2_Click(LineFaults& line);              // ends the fault in force
void ShowLineFault(Program& p, const LineFaults& line);
void ShowFaultInForce(Program& p, const LineFaults& line);  // the "In force" label alone

}  // namespace dravilo
