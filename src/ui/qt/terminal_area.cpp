#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/qt/window_areas.h"

namespace dravilo {

namespace {

QGroupBox* terminalType(Form1& f, Bindings& b, QWidget* parent)
{
    auto* frame = b.make<QGroupBox>(f.Frame2, parent);
    auto* row = new QHBoxLayout(frame);
    for (OptionButton& option : f.Option1)
        row->addWidget(b.make<QRadioButton>(option, frame));
    return frame;
}

// The price input beside the two status bytes, one box per bit.
QGroupBox* zelm2Settings(Form1& f, Bindings& b, QWidget* parent)
{
    auto* frame = b.make<QGroupBox>(f.Frame7, parent);
    // Hidden under ZELM-1, it keeps its place: nothing else in the window moves.
    QSizePolicy policy = frame->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    frame->setSizePolicy(policy);
    auto* row = new QHBoxLayout(frame);
    auto* price = new QVBoxLayout;
    row->addLayout(price);
    price->addWidget(b.make<QLabel>(f.Label29, frame));
    auto* priceInput = b.make<QLineEdit>(f.Text11, frame);
    priceInput->setMinimumWidth(90);
    price->addWidget(priceInput);
    price->addStretch();
    const std::pair<Label*, std::array<CheckBox, 8>*> bytes[] = {{&f.Label27, &f.Check1}, {&f.Label28, &f.Check3}};
    for (auto [label, boxes] : bytes) {
        auto* bits = new QVBoxLayout;
        row->addLayout(bits);
        bits->addWidget(b.make<QLabel>(*label, frame));
        for (CheckBox& box : *boxes)
            bits->addWidget(b.make<QCheckBox>(box, frame));
    }
    return frame;
}

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

QGroupBox* display(Form1& f, Bindings& b, QWidget* parent)
{
    auto* frame = b.make<QGroupBox>(f.Frame4, parent);
    auto* grid = new QGridLayout(frame);
    const std::pair<Label*, TextBox*> fields[] = {
        {&f.Label10, &f.Text5}, {&f.Label25, &f.Text8}, {&f.Label26, &f.Text10}};
    int row = 0;
    for (auto [label, field] : fields) {
        grid->addWidget(b.make<QLabel>(*label, frame), row, 0);
        auto* edit = b.make<QLineEdit>(*field, frame);
        styleDisplayField(edit);
        grid->addWidget(edit, row++, 1);
    }
    return frame;
}

}  // namespace

QWidget* TerminalArea(Form1& f, Bindings& b)
{
    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins({});
    column->addWidget(MakeHeading(f.Label14, area, b));
    column->addWidget(terminalType(f, b, area));
    column->addWidget(zelm2Settings(f, b, area));
    column->addWidget(display(f, b, area));
    column->addStretch();
    return area;
}

}  // namespace dravilo
