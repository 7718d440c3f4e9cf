#pragma once

// The control commands that type a number into the window. Each types as a
// person would, so the window reads the text as leniently as ever; but a
// value in force that is not the value typed is a CommandFailure that says
// what is in force.

#include <QString>

namespace dravilo {

class ControlWindow;
class Program;

// Weight 1 is row 0. The value typed is in force when the format shows it,
// rounded to the format's decimals.
void TypeWeight(Program& p, const ControlWindow& w, int row, const QString& text);
void TypePrice(Program& p, const ControlWindow& w, const QString& text);
// Types both and presses Change.
void TypeSway(Program& p, const ControlWindow& w, const QString& amplitude, const QString& count);
// Types the send period and presses Change.
void TypeSendPeriod(Program& p, const ControlWindow& w, const QString& text);
void TypeCycleMaximum(Program& p, const ControlWindow& w, const QString& text);
void TypeCyclePeriod(Program& p, const ControlWindow& w, const QString& text);

}  // namespace dravilo
