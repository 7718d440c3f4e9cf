#include "ui/qt/main_window.h"

#include <QCloseEvent>
#include <QFont>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/form1.h"
#include "ui/qt/control_binding.h"

namespace dravilo {

namespace {

// The read-only fields of the terminal display: large digits on light yellow.
void styleDisplayField(QLineEdit* field)
{
    QFont font = field->font();
    font.setPointSize(24);
    field->setFont(font);
    field->setAlignment(Qt::AlignRight);
    field->setMinimumWidth(220);
    field->setStyleSheet(QStringLiteral("background-color: %1;").arg(QColor::fromRgb(kLightYellow).name()));
}

}  // namespace

template <class Widget, class Model>
Widget* MainWindow::make(Model& model, QWidget* parent)
{
    auto* widget = new Widget(parent);
    Bind(model, widget);
    widgets_[&model] = widget;
    return widget;
}

MainWindow::MainWindow(Form1& f, std::function<void()> onClose)
    : onClose_(std::move(onClose))
{
    setWindowTitle(QStringLiteral("Dravilo v.2.00"));
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* areas = new QHBoxLayout(central);

    // Load area.
    auto* load = new QVBoxLayout;
    areas->addLayout(load);
    load->addWidget(make<QLabel>(f.Label6, central));

    auto* frame3 = make<QGroupBox>(f.Frame3, central);
    load->addWidget(frame3);
    auto* rows = new QGridLayout(frame3);
    rows->addWidget(make<QLabel>(f.Label9, frame3), 0, 1);
    rows->addWidget(make<QLabel>(f.Label24, frame3), 0, 2);
    rows->addWidget(make<QLabel>(f.Label2, frame3), 1, 0);
    rows->addWidget(make<QLabel>(f.Label7, frame3), 2, 0);
    CommandButton* buttons[3] = {&f.Command1, &f.Command2, &f.Command3};
    for (int r = 0; r < 3; ++r) {
        if (r < 2)
            rows->addWidget(make<QLineEdit>(f.Text9[r], frame3), r + 1, 1);
        rows->addWidget(make<QLineEdit>(f.Text2[r], frame3), r + 1, 2);
        rows->addWidget(make<QPushButton>(*buttons[r], frame3), r + 1, 3);
        rows->addWidget(make<LampWidget>(f.Shape2[r], frame3), r + 1, 4);
    }
    rows->addWidget(make<QLabel>(f.Label23, frame3), 4, 0);
    rows->addWidget(make<QComboBox>(f.Combo2, frame3), 4, 1, 1, 2);

    auto* frame5 = make<QGroupBox>(f.Frame5, central);
    load->addWidget(frame5);
    auto* sway = new QGridLayout(frame5);
    sway->addWidget(make<QLabel>(f.Label4, frame5), 0, 0);
    sway->addWidget(make<QLineEdit>(f.Text1[1], frame5), 0, 1);
    sway->addWidget(make<QLabel>(f.Label5, frame5), 1, 0);
    sway->addWidget(make<QLineEdit>(f.Text1[2], frame5), 1, 1);
    sway->addWidget(make<QPushButton>(f.Command5, frame5), 2, 1);
    load->addStretch();

    // Port and transmission area.
    auto* line = new QVBoxLayout;
    areas->addSpacing(12);  // not setSpacing: the columns' own layouts would inherit it
    areas->addLayout(line);
    auto* portHeading = new QHBoxLayout;
    line->addLayout(portHeading);
    portHeading->addWidget(make<QLabel>(f.Label8, central));
    portHeading->addWidget(make<LampWidget>(f.Shape1, central));
    portHeading->addStretch();
    auto* portLine = new QHBoxLayout;
    line->addLayout(portLine);
    // Reads as one phrase: "COM" and the number touch, the settings follow after a space.
    portLine->setSpacing(0);
    portLine->addWidget(make<QLabel>(f.Label17, central));
    portLine->addWidget(make<QLabel>(f.Label18, central));
    portLine->addSpacing(6);
    portLine->addWidget(make<QLabel>(f.Label19, central));
    portLine->addStretch();
    line->addWidget(make<QLabel>(f.Label15, central));
    line->addWidget(make<QLineEdit>(f.Text3, central));
    line->addWidget(make<QLabel>(f.Label16, central));
    line->addWidget(make<QLineEdit>(f.Text6, central));
    // The frame views line up byte for byte in a fixed-pitch font.
    for (TextBox* view : {&f.Text3, &f.Text6}) {
        widgetOf(view)->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        widgetOf(view)->setMinimumWidth(480);
    }
    auto* period = new QHBoxLayout;
    line->addLayout(period);
    period->addWidget(make<QLabel>(f.Label3, central));
    period->addWidget(make<QLineEdit>(f.Text1[0], central));
    period->addWidget(make<QPushButton>(f.Command4, central));
    period->addStretch();
    auto* inForce = new QHBoxLayout;
    line->addLayout(inForce);
    inForce->addWidget(make<QLabel>(f.Label11, central));
    inForce->addWidget(make<QLabel>(f.Label12, central));
    inForce->addWidget(make<QLabel>(f.Label13, central));
    inForce->addWidget(make<LampWidget>(f.Shape3, central));
    inForce->addStretch();
    line->addStretch();

    // Terminal area.
    auto* terminal = new QVBoxLayout;
    areas->addSpacing(12);
    areas->addLayout(terminal);
    terminal->addWidget(make<QLabel>(f.Label14, central));
    auto* frame2 = make<QGroupBox>(f.Frame2, central);
    terminal->addWidget(frame2);
    auto* types = new QHBoxLayout(frame2);
    types->addWidget(make<QRadioButton>(f.Option1[0], frame2));
    types->addWidget(make<QRadioButton>(f.Option1[1], frame2));

    auto* frame7 = make<QGroupBox>(f.Frame7, central);
    terminal->addWidget(frame7);
    auto* settings = new QHBoxLayout(frame7);
    auto* price = new QVBoxLayout;
    settings->addLayout(price);
    price->addWidget(make<QLabel>(f.Label29, frame7));
    price->addWidget(make<QLineEdit>(f.Text11, frame7));
    widgetOf(&f.Text11)->setMinimumWidth(90);
    price->addStretch();
    auto* s1 = new QVBoxLayout;
    settings->addLayout(s1);
    s1->addWidget(make<QLabel>(f.Label27, frame7));
    for (CheckBox& box : f.Check1)
        s1->addWidget(make<QCheckBox>(box, frame7));
    auto* s2 = new QVBoxLayout;
    settings->addLayout(s2);
    s2->addWidget(make<QLabel>(f.Label28, frame7));
    for (CheckBox& box : f.Check3)
        s2->addWidget(make<QCheckBox>(box, frame7));

    auto* frame4 = make<QGroupBox>(f.Frame4, central);
    terminal->addWidget(frame4);
    auto* display = new QGridLayout(frame4);
    const std::pair<Label*, TextBox*> fields[] = {
        {&f.Label10, &f.Text5}, {&f.Label25, &f.Text8}, {&f.Label26, &f.Text10}};
    int row = 0;
    for (auto [label, field] : fields) {
        display->addWidget(make<QLabel>(*label, frame4), row, 0);
        auto* edit = make<QLineEdit>(*field, frame4);
        styleDisplayField(edit);
        display->addWidget(edit, row++, 1);
    }
    terminal->addStretch();

    for (Label* h : {&f.Label6, &f.Label8, &f.Label14}) {  // the three area headings
        QFont font = widgetOf(h)->font();
        font.setBold(true);
        font.setPointSize(font.pointSize() + 2);
        widgetOf(h)->setFont(font);
    }
}

QWidget* MainWindow::widgetOf(const void* control) const
{
    const auto found = widgets_.find(control);
    return found == widgets_.end() ? nullptr : found->second;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (onClose_)
        onClose_();
    event->accept();
}

}  // namespace dravilo
