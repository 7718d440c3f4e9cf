#include <QGridLayout>
#include <QVBoxLayout>

#include "ui/qt/window_areas.h"

namespace dravilo {

namespace {

QGroupBox* weights(Form1& f, Bindings& b, QWidget* parent)
{
    auto* frame = b.make<QGroupBox>(f.Frame3, parent);
    auto* rows = new QGridLayout(frame);
    rows->addWidget(b.make<QLabel>(f.Label9, frame), 0, 1);
    rows->addWidget(b.make<QLabel>(f.Label24, frame), 0, 2);
    rows->addWidget(b.make<QLabel>(f.Label2, frame), 1, 0);
    rows->addWidget(b.make<QLabel>(f.Label7, frame), 2, 0);
    CommandButton* buttons[3] = {&f.Command1, &f.Command2, &f.Command3};
    for (int r = 0; r < 3; ++r) {
        if (r < 2)
            rows->addWidget(b.make<QLineEdit>(f.Text9[r], frame), r + 1, 1);
        rows->addWidget(b.make<QLineEdit>(f.Text2[r], frame), r + 1, 2);
        rows->addWidget(b.make<QPushButton>(*buttons[r], frame), r + 1, 3);
        rows->addWidget(b.make<LampWidget>(f.Shape2[r], frame), r + 1, 4);
    }
    rows->addWidget(b.make<QLabel>(f.Label23, frame), 4, 0);
    rows->addWidget(b.make<QComboBox>(f.Combo2, frame), 4, 1, 1, 2);
    return frame;
}

QGroupBox* sway(Form1& f, Bindings& b, QWidget* parent)
{
    auto* frame = b.make<QGroupBox>(f.Frame5, parent);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(b.make<QLabel>(f.Label4, frame), 0, 0);
    grid->addWidget(b.make<QLineEdit>(f.Text1[1], frame), 0, 1);
    grid->addWidget(b.make<QLabel>(f.Label5, frame), 1, 0);
    grid->addWidget(b.make<QLineEdit>(f.Text1[2], frame), 1, 1);
    grid->addWidget(b.make<QPushButton>(f.Command5, frame), 2, 1);
    grid->addWidget(b.make<QCheckBox>(f.Check4, frame), 3, 0, 1, 2);
    return frame;
}

// The count of completed cycles in large red digits, its room kept while
// hidden so the frame does not jump when the cycles start.
void styleCycleCounter(QLabel* counter)
{
    QFont font = counter->font();
    font.setPointSize(28);
    font.setBold(true);
    counter->setFont(font);
    counter->setStyleSheet(QStringLiteral("color: %1;").arg(QColor::fromRgb(kRed).name()));
    counter->setAlignment(Qt::AlignCenter);
    QSizePolicy policy = counter->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    counter->setSizePolicy(policy);
}

QGroupBox* cycles(Form1& f, Bindings& b, QWidget* parent)
{
    auto* frame = b.make<QGroupBox>(f.Frame6, parent);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(b.make<QLabel>(f.Label20, frame), 0, 0);
    grid->addWidget(b.make<QLineEdit>(f.Text4, frame), 0, 1);
    grid->addWidget(b.make<QLabel>(f.Label21, frame), 1, 0);
    grid->addWidget(b.make<QLineEdit>(f.Text7, frame), 1, 1);
    grid->addWidget(b.make<QCheckBox>(f.Check2, frame), 2, 0);
    auto* counter = b.make<QLabel>(f.Label22, frame);
    styleCycleCounter(counter);
    grid->addWidget(counter, 2, 1);
    return frame;
}

}  // namespace

QWidget* LoadArea(Form1& f, Bindings& b)
{
    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins({});
    column->addWidget(MakeHeading(f.Label6, area, b));
    column->addWidget(weights(f, b, area));
    column->addWidget(sway(f, b, area));
    column->addWidget(cycles(f, b, area));
    column->addStretch();
    return area;
}

}  // namespace dravilo
