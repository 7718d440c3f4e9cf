#pragma once

// Two-way binding of control models and their widgets: a model's changes are
// copied into its widget with the widget's signals blocked; a person's edits
// and clicks go into the model, which then runs the control's event.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <unordered_map>
#include <vector>

#include "base/controls.h"
#include "ui/qt/lamp_widget.h"
#include "ui/qt/port_widgets.h"

namespace dravilo {

// The bindings of one window. They are undone when it goes, so a model
// changed later reaches no widget that is no longer there.
class Bindings {
public:
    Bindings() = default;
    ~Bindings();
    Bindings(const Bindings&) = delete;
    Bindings& operator=(const Bindings&) = delete;

    // A new widget for a model, bound to it.
    template <class Widget, class Model>
    Widget* make(Model& model, QWidget* parent)
    {
        auto* widget = new Widget(parent);
        bind(model, widget);
        return widget;
    }

    void bind(Label& model, QLabel* widget);
    void bind(Frame& model, QGroupBox* widget);
    void bind(CommandButton& model, QPushButton* widget);
    void bind(TextBox& model, QLineEdit* widget);
    void bind(CheckBox& model, QCheckBox* widget);
    void bind(OptionButton& model, QRadioButton* widget);
    void bind(ComboBox& model, QComboBox* widget);
    void bind(ComboBox& model, DropDownList* widget);  // runs the list's drop-down event
    void bind(Label& model, ElidedLabel* widget);
    void bind(Shape& model, LampWidget* widget);
    void bind(MenuItem& model, QAction* action);  // a command
    void bind(MenuItem& model, QMenu* menu);      // a menu holding commands
    // The caption as the window's title.
    void bindTitle(Captioned& model, QWidget* window);
    // The caption shown by `show` on a view that is no widget of its own,
    // such as a column's header.
    void bindCaption(Captioned& model, QObject* view, std::function<void(const QString&)> show);

    // The widget or action that shows a model; null for one not bound.
    QObject* viewOf(const void* model) const;

private:
    template <class Model, class View, class Show>
    void mirror(Model& model, View* view, Show show);

    std::unordered_map<const void*, QObject*> views_;
    std::vector<Control*> bound_;
};

}  // namespace dravilo
