#include <QGridLayout>

#include "ui/qt/window_areas.h"

namespace dravilo {

QWidget* SettingsPanel(Form1& f, Bindings& b)
{
    // The caption above the folder: a path gets the panel's whole width.
    auto* frame = b.make<QGroupBox>(f.Basis_Frame1, nullptr);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(b.make<QLabel>(f.Basis_Label1, frame), 0, 0, 1, 2);
    grid->addWidget(b.make<QLineEdit>(f.Basis_Text1, frame), 1, 0);
    grid->addWidget(b.make<QPushButton>(f.Basis_Command1, frame), 1, 1);
    return frame;
}

}  // namespace dravilo
