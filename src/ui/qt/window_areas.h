#pragma once

// The window's areas, each built from the models of its controls and bound
// to them.

#include <QFont>
#include <QLabel>
#include <QMenuBar>
#include <QWidget>

#include "base/form1.h"
#include "ui/qt/control_binding.h"

namespace dravilo {

class Program;

QWidget* LoadArea(Form1& f, Bindings& b);      // weights, weight format, sway, weighing cycles
QWidget* LineArea(Form1& f, Bindings& b);      // port panel, frames sent, send period, line faults
QWidget* TerminalArea(Form1& f, Bindings& b);  // terminal type, ZELM-2 settings, terminal display
QWidget* SettingsPanel(Form1& f, Bindings& b); // the program's settings: the results folder
QWidget* TrafficPanel(Program& p, Bindings& b);  // the line's events, newest at the bottom
void FillMenuBar(QMenuBar* bar, Form1& f, Bindings& b);

// An area's heading: bold and a little larger than the controls under it.
inline QLabel* MakeHeading(Label& model, QWidget* parent, Bindings& b)
{
    QLabel* heading = b.make<QLabel>(model, parent);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 2);
    heading->setFont(font);
    return heading;
}

}  // namespace dravilo
