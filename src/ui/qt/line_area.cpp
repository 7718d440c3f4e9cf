#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/qt/window_areas.h"

namespace dravilo {

namespace {

// The five lists of the line settings side by side under their labels, the
// port indicator after them and beside it why the port is not open; below
// them the device of COM n to choose and what the line is.
QGroupBox* portPanel(Form1& f, Bindings& b, QWidget* parent)
{
    auto* frame = b.make<QGroupBox>(f.Frame1, parent);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(b.make<QLabel>(f.Label1[i], frame), 0, i);
        grid->addWidget(b.make<QComboBox>(f.Combo1[i], frame), 1, i);
    }
    grid->addWidget(b.make<LampWidget>(f.Shape1, frame), 1, 5);
    grid->addWidget(b.make<ElidedLabel>(f.Label30, frame), 1, 6);
    grid->setColumnStretch(6, 1);
    auto* device = new QHBoxLayout;
    device->addWidget(b.make<QLabel>(f.Port_Label2, frame));
    auto* devices = b.make<DropDownList>(f.Port_Combo1, frame);
    devices->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // the entries change, and with the language
    device->addWidget(devices);
    device->addStretch();
    grid->addLayout(device, 2, 0, 1, 7);
    grid->addWidget(b.make<ElidedLabel>(f.Port_Label1, frame), 3, 0, 1, 7);
    grid->addWidget(b.make<ElidedLabel>(f.Port_Label3, frame), 4, 0, 1, 7);
    return frame;
}

// "Port settings: COM2 9600,n,8,1" as one phrase: the number touches "COM".
QHBoxLayout* portInForce(Form1& f, Bindings& b, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(b.make<QLabel>(f.Label17, parent));
    row->addWidget(b.make<QLabel>(f.Label18, parent));
    row->addSpacing(6);
    row->addWidget(b.make<QLabel>(f.Label19, parent));
    row->addStretch();
    return row;
}

// The last frame as text and as HEX, lined up byte for byte in a fixed-pitch font.
void frameViews(Form1& f, Bindings& b, QWidget* parent, QVBoxLayout* column)
{
    const std::pair<Label*, TextBox*> views[] = {{&f.Label15, &f.Text3}, {&f.Label16, &f.Text6}};
    for (auto [label, text] : views) {
        column->addWidget(b.make<QLabel>(*label, parent));
        auto* view = b.make<QLineEdit>(*text, parent);
        view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        view->setMinimumWidth(440);  // a 20-byte frame's HEX
        column->addWidget(view);
    }
}

QHBoxLayout* periodRow(Form1& f, Bindings& b, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->addWidget(b.make<QLabel>(f.Label3, parent));
    row->addWidget(b.make<QLineEdit>(f.Text1[0], parent));
    row->addWidget(b.make<QPushButton>(f.Command4, parent));
    row->addStretch();
    return row;
}

QHBoxLayout* periodInForce(Form1& f, Bindings& b, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->addWidget(b.make<QLabel>(f.Label11, parent));
    row->addWidget(b.make<QLabel>(f.Label12, parent));
    row->addWidget(b.make<QLabel>(f.Label13, parent));
    row->addWidget(b.make<LampWidget>(f.Shape3, parent));
    row->addStretch();
    return row;
}

// The control channel's "fault" as a form: kind, delay, which replies.
QGroupBox* faultPanel(Form1& f, Bindings& b, QWidget* parent)
{
    auto* frame = b.make<QGroupBox>(f.Fault_Frame1, parent);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(b.make<QLabel>(f.Fault_Label1, frame), 0, 0);
    grid->addWidget(b.make<QLabel>(f.Fault_Label2, frame), 0, 1);
    grid->addWidget(b.make<QLabel>(f.Fault_Label3, frame), 0, 2, 1, 2);
    grid->addWidget(b.make<QComboBox>(f.Fault_Combo1, frame), 1, 0);
    grid->addWidget(b.make<QLineEdit>(f.Fault_Text1, frame), 1, 1);
    grid->addWidget(b.make<QComboBox>(f.Fault_Combo2, frame), 1, 2);
    grid->addWidget(b.make<QLineEdit>(f.Fault_Text2, frame), 1, 3);
    auto* inForce = new QHBoxLayout;
    inForce->addWidget(b.make<QLabel>(f.Fault_Label4, frame));
    inForce->addWidget(b.make<QLabel>(f.Fault_Label5, frame), 1);
    inForce->addWidget(b.make<QPushButton>(f.Fault_Command1, frame));
    inForce->addWidget(b.make<QPushButton>(f.Fault_Command2, frame));
    grid->addLayout(inForce, 2, 0, 1, 4);
    grid->setColumnStretch(4, 1);
    return frame;
}

}  // namespace

QWidget* LineArea(Form1& f, Bindings& b)
{
    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins({});
    column->addWidget(MakeHeading(f.Label8, area, b));
    column->addWidget(portPanel(f, b, area));
    column->addLayout(portInForce(f, b, area));
    frameViews(f, b, area, column);
    column->addLayout(periodRow(f, b, area));
    column->addLayout(periodInForce(f, b, area));
    column->addWidget(faultPanel(f, b, area));
    return area;
}

}  // namespace dravilo
