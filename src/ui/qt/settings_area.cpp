#include <QHBoxLayout>

#include "ui/qt/window_areas.h"

namespace dravilo {

QWidget* SettingsPanel(Form1& f, Bindings& b)
{
    auto* frame = b.make<QGroupBox>(f.Basis_Frame1, nullptr);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(b.make<QLabel>(f.Basis_Label1, frame));
    auto* folder = b.make<QLineEdit>(f.Basis_Text1, frame);
    folder->setMinimumWidth(480);  // room for a whole path
    row->addWidget(folder, 1);
    row->addWidget(b.make<QPushButton>(f.Basis_Command1, frame));
    return frame;
}

}  // namespace dravilo
