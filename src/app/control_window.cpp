#include "app/control_window.h"

namespace dravilo {

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

QString colourName(Colour c)
{
    if (c == kGreen)
        return QStringLiteral("green");
    if (c == kRed)
        return QStringLiteral("red");
    return QStringLiteral("dark");
}

}  // namespace

AnyControl ControlWindow::find(const QString& name) const
{
    for (const NamedControl& c : all_)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return c.control;
    throw CommandFailure{QStringLiteral("no control named %1").arg(name)};
}

template <class T>
T* ControlWindow::reach(const QString& name) const
{
    for (const NamedControl& c : all_) {
        if (c.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        T* const* control = std::get_if<T*>(&c.control);
        if (!control)
            throw CommandFailure{QStringLiteral("%1 cannot be used that way").arg(c.name)};
        const Control& self = **control;
        if (!self.visible() || (c.container && !c.container->visible()))
            throw CommandFailure{QStringLiteral("%1 is not shown now").arg(c.name)};
        if (!self.enabled())
            throw CommandFailure{QStringLiteral("%1 is not enabled").arg(c.name)};
        return *control;
    }
    throw CommandFailure{QStringLiteral("no control named %1").arg(name)};
}

QString ControlWindow::get(const QString& name) const
{
    return std::visit(Overloaded{
                          [](TextBox* t) { return t->text(); },
                          [](ComboBox* c) { return c->text(); },
                          [](CheckBox* c) { return QString::number(c->value()); },
                          [](OptionButton* o) { return QString::number(o->value() ? 1 : 0); },
                          [](Shape* s) { return colourName(s->fillColour()); },
                          [](auto* captioned) { return captioned->caption(); },
                      },
                      find(name));
}

void ControlWindow::type(const QString& name, const QString& text) const
{
    if (std::holds_alternative<ComboBox*>(find(name))) {
        ComboBox* list = reach<ComboBox>(name);
        if (!list->editable())
            throw CommandFailure{QStringLiteral("%1 takes no typing, only a pick").arg(name)};
        list->setText(text);
        return;
    }
    TextBox* box = reach<TextBox>(name);
    if (box->locked())
        throw CommandFailure{QStringLiteral("%1 is read-only").arg(name)};
    box->setText(text);
}

void ControlWindow::click(const QString& name) const
{
    std::visit(Overloaded{
                   [&](CommandButton*) { reach<CommandButton>(name)->click(); },
                   [&](MenuItem*) { reach<MenuItem>(name)->click(); },
                   [&](CheckBox*) {
                       CheckBox* box = reach<CheckBox>(name);
                       box->setValue(box->value() == 1 ? 0 : 1);
                   },
                   [&](OptionButton*) { reach<OptionButton>(name)->setValue(true); },
                   [&](auto*) { throw CommandFailure{QStringLiteral("%1 cannot be clicked").arg(name)}; },
               },
               find(name));
}

void ControlWindow::check(const QString& name, bool on) const { reach<CheckBox>(name)->setValue(on ? 1 : 0); }

void ControlWindow::pick(const QString& name, const QString& item) const
{
    ComboBox* list = reach<ComboBox>(name);
    const qsizetype index = list->items().indexOf(item);
    if (index < 0)
        throw CommandFailure{QStringLiteral("%1 has no item %2").arg(name, item)};
    list->pick(int(index));
}

}  // namespace dravilo
