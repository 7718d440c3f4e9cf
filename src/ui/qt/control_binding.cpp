#include "ui/qt/control_binding.h"

#include <QSignalBlocker>

namespace dravilo {

Bindings::~Bindings()
{
    for (Control* model : bound_)
        model->viewChanged = nullptr;
}

QObject* Bindings::viewOf(const void* model) const
{
    const auto found = views_.find(model);
    return found == views_.end() ? nullptr : found->second;
}

// Runs `show` now and after every change of the model, with the view's
// visibility and enabled state following the model's.
template <class Model, class View, class Show>
void Bindings::mirror(Model& model, View* view, Show show)
{
    views_[&model] = view;
    bound_.push_back(&model);
    model.viewChanged = [&model, view, show] {
        const QSignalBlocker blocker(view);
        view->setVisible(model.visible());
        view->setEnabled(model.enabled());
        show(model, view);
    };
    model.viewChanged();
}

void Bindings::bind(Label& model, QLabel* widget)
{
    mirror(model, widget, [](Label& m, QLabel* w) { w->setText(m.caption()); });
}

void Bindings::bind(Frame& model, QGroupBox* widget)
{
    mirror(model, widget, [](Frame& m, QGroupBox* w) { w->setTitle(m.caption()); });
}

void Bindings::bind(CommandButton& model, QPushButton* widget)
{
    mirror(model, widget, [](CommandButton& m, QPushButton* w) { w->setText(m.caption()); });
    QObject::connect(widget, &QPushButton::clicked, [&model] { model.click(); });
}

void Bindings::bind(TextBox& model, QLineEdit* widget)
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

void Bindings::bind(CheckBox& model, QCheckBox* widget)
{
    mirror(model, widget, [](CheckBox& m, QCheckBox* w) {
        w->setText(m.caption());
        w->setChecked(m.value() == 1);
    });
    QObject::connect(widget, &QCheckBox::clicked, [&model](bool checked) { model.setValue(checked ? 1 : 0); });
}

void Bindings::bind(OptionButton& model, QRadioButton* widget)
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

void Bindings::bind(ComboBox& model, QComboBox* widget)
{
    widget->setInsertPolicy(QComboBox::NoInsert);  // typing never adds an entry
    mirror(model, widget, [](ComboBox& m, QComboBox* w) {
        QStringList shown;
        for (int i = 0; i < w->count(); ++i)
            shown << w->itemText(i);
        if (shown != m.items()) {
            w->clear();
            w->addItems(m.items());
        }
        if (w->isEditable() != m.editable()) {
            w->setEditable(m.editable());
            if (QLineEdit* edit = w->lineEdit()) {
                // Typed text is the model's text as it stands, and only a pick
                // runs the list's event: no completion adds to the text, and
                // finishing an edit on an entry's text does not count as
                // picking it, as QComboBox would have it.
                w->setCompleter(nullptr);
                QObject::disconnect(edit, &QLineEdit::editingFinished, w, nullptr);
                QObject::connect(edit, &QLineEdit::textEdited, [&m](const QString& text) { m.setText(text); });
            }
        }
        // Choosing the same entry again would overwrite what a person typed.
        if (w->currentIndex() != m.listIndex())
            w->setCurrentIndex(m.listIndex());
        if (m.editable() && w->currentText() != m.text())
            w->setEditText(m.text());
    });
    QObject::connect(widget, &QComboBox::activated, [&model](int index) { model.pick(index); });
}

void Bindings::bind(ComboBox& model, DropDownList* widget)
{
    bind(model, static_cast<QComboBox*>(widget));
    widget->aboutToDrop = [&model] { model.dropDown(); };
}

void Bindings::bind(Label& model, ElidedLabel* widget)
{
    mirror(model, widget, [](Label& m, ElidedLabel* w) { w->setFullText(m.caption()); });
}

void Bindings::bind(Shape& model, LampWidget* widget)
{
    mirror(model, widget, [](Shape& m, LampWidget* w) { w->setColour(m.fillColour()); });
}

void Bindings::bind(MenuItem& model, QAction* action)
{
    mirror(model, action, [](MenuItem& m, QAction* a) { a->setText(m.caption()); });
    QObject::connect(action, &QAction::triggered, [&model] { model.click(); });
}

void Bindings::bind(MenuItem& model, QMenu* menu)
{
    // The menu's own action stands for it on the bar; opening it is no command.
    mirror(model, menu->menuAction(), [](MenuItem& m, QAction* a) { a->setText(m.caption()); });
    views_[&model] = menu;
}

void Bindings::bindTitle(Captioned& model, QWidget* window)
{
    // Only the caption: the title's model does not decide whether the window shows.
    bindCaption(model, window, [window](const QString& caption) { window->setWindowTitle(caption); });
}

void Bindings::bindCaption(Captioned& model, QObject* view, std::function<void(const QString&)> show)
{
    views_[&model] = view;
    bound_.push_back(&model);
    model.viewChanged = [&model, show] { show(model.caption()); };
    model.viewChanged();
}

}  // namespace dravilo
