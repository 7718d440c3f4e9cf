#include "ui/qt/control_binding.h"

#include <QSignalBlocker>

namespace dravilo {

namespace {

// Runs `show` now and after every change of the model.
template <class Model, class Widget, class Show>
void mirror(Model& model, Widget* widget, Show show)
{
    model.viewChanged = [&model, widget, show] {
        const QSignalBlocker blocker(widget);
        widget->setVisible(model.visible());
        widget->setEnabled(model.enabled());
        show(model, widget);
    };
    model.viewChanged();
}

}  // namespace

void Bind(Label& model, QLabel* widget)
{
    mirror(model, widget, [](Label& m, QLabel* w) { w->setText(m.caption()); });
}

void Bind(Frame& model, QGroupBox* widget)
{
    mirror(model, widget, [](Frame& m, QGroupBox* w) { w->setTitle(m.caption()); });
}

void Bind(CommandButton& model, QPushButton* widget)
{
    mirror(model, widget, [](CommandButton& m, QPushButton* w) { w->setText(m.caption()); });
    QObject::connect(widget, &QPushButton::clicked, [&model] { model.click(); });
}

void Bind(TextBox& model, QLineEdit* widget)
{
    mirror(model, widget, [](TextBox& m, QLineEdit* w) {
        if (w->text() != m.text()) {  // keeps the cursor where a person is typing
            w->setText(m.text());
            if (m.locked())
                w->setCursorPosition(0);  // a long read-only view shows its beginning
        }
        w->setReadOnly(m.locked());
    });
    QObject::connect(widget, &QLineEdit::textEdited, [&model](const QString& text) { model.setText(text); });
}

void Bind(CheckBox& model, QCheckBox* widget)
{
    mirror(model, widget, [](CheckBox& m, QCheckBox* w) {
        w->setText(m.caption());
        w->setChecked(m.value() == 1);
    });
    QObject::connect(widget, &QCheckBox::clicked, [&model](bool checked) { model.setValue(checked ? 1 : 0); });
}

void Bind(OptionButton& model, QRadioButton* widget)
{
    // Exclusion is the model's business: the buttons do not form a Qt group.
    widget->setAutoExclusive(false);
    mirror(model, widget, [](OptionButton& m, QRadioButton* w) {
        w->setText(m.caption());
        w->setChecked(m.value());
    });
    QObject::connect(widget, &QRadioButton::clicked, [&model, widget] {
        model.setValue(true);
        const QSignalBlocker blocker(widget);
        widget->setChecked(model.value());  // a second click does not clear it
    });
}

void Bind(ComboBox& model, QComboBox* widget)
{
    mirror(model, widget, [](ComboBox& m, QComboBox* w) {
        QStringList shown;
        for (int i = 0; i < w->count(); ++i)
            shown << w->itemText(i);
        if (shown != m.items()) {
            w->clear();
            w->addItems(m.items());
        }
        w->setCurrentIndex(m.listIndex());
    });
    QObject::connect(widget, &QComboBox::activated, [&model](int index) { model.pick(index); });
}

void Bind(Shape& model, LampWidget* widget)
{
    mirror(model, widget, [](Shape& m, LampWidget* w) { w->setColour(m.fillColour()); });
}

}  // namespace dravilo
