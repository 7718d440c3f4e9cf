#pragma once

// Plain models of the window's controls. A model holds only what the program
// reads or writes. Setting a property from code runs the control's event at
// once, nested in the caller, and only when the value really changes; the Qt
// window listens through `viewChanged` and copies a person's edits back in.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace dravilo {

using Colour = std::uint32_t;  // 0xRRGGBB
constexpr Colour kGreen = 0x00C000;
constexpr Colour kRed = 0xFF0000;
constexpr Colour kLightYellow = 0xFFFF80;

class Control {
public:
    // Set by the Qt window to mirror the model; never by handlers.
    std::function<void()> viewChanged;

    bool visible() const { return visible_; }
    void setVisible(bool v) { assign(visible_, v); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { assign(enabled_, e); }

protected:
    template <class T>
    bool assign(T& field, const T& value)
    {
        if (field == value)
            return false;
        field = value;
        if (viewChanged)
            viewChanged();
        return true;
    }

private:
    bool visible_ = true;
    bool enabled_ = true;
};

class Captioned : public Control {
public:
    const QString& caption() const { return caption_; }
    void setCaption(const QString& c) { assign(caption_, c); }

private:
    QString caption_;
};

class Label : public Captioned {};
class Frame : public Captioned {};

class CommandButton : public Captioned {
public:
    std::function<void()> onClick;
    void click()
    {
        if (onClick)
            onClick();
    }
};

class TextBox : public Control {
public:
    std::function<void()> onChange;

    const QString& text() const { return text_; }
    void setText(const QString& t)
    {
        if (assign(text_, t) && onChange)
            onChange();
    }
    bool locked() const { return locked_; }  // read-only for the user
    void setLocked(bool l) { assign(locked_, l); }

private:
    QString text_;
    bool locked_ = false;
};

class CheckBox : public Captioned {
public:
    std::function<void()> onClick;

    int value() const { return value_; }  // 0 clear, 1 checked
    void setValue(int v)
    {
        if (assign(value_, v) && onClick)
            onClick();
    }

private:
    int value_ = 0;
};

// Option buttons of one container exclude each other: selecting one clears
// its siblings silently and then runs its own click.
class OptionButton : public Captioned {
public:
    std::function<void()> onClick;
    std::vector<OptionButton*> siblings;

    bool value() const { return value_; }
    void setValue(bool v)
    {
        if (!assign(value_, v) || !v)
            return;
        for (OptionButton* other : siblings)
            other->assign(other->value_, false);
        if (onClick)
            onClick();
    }

private:
    bool value_ = false;
};

// A drop-down list. Only a pick made by a person runs `onClick`; code that
// selects an entry and wants the handler calls it itself. An editable list
// also takes typed text, which changes nothing until the next pick.
// `onDropDown` runs as a person opens the list, before its entries show.
class ComboBox : public Control {
public:
    std::function<void()> onClick;
    std::function<void()> onDropDown;

    const QStringList& items() const { return items_; }
    void setItems(const QStringList& items) { assign(items_, items); }
    bool editable() const { return editable_; }
    void setEditable(bool e) { assign(editable_, e); }
    int listIndex() const { return listIndex_; }
    void setListIndex(int i)
    {
        assign(listIndex_, i);
        if (i >= 0 && i < items_.size())
            assign(text_, items_[i]);
    }
    const QString& text() const { return text_; }
    void setText(const QString& t) { assign(text_, t); }

    void pick(int i)
    {
        setListIndex(i);
        if (onClick)
            onClick();
    }
    void dropDown()
    {
        if (onDropDown)
            onDropDown();
    }

private:
    QStringList items_;
    bool editable_ = false;
    int listIndex_ = -1;
    QString text_;
};

// An entry of the menu bar: a command, or a menu holding other entries.
class MenuItem : public Captioned {
public:
    std::function<void()> onClick;
    void click()
    {
        if (onClick)
            onClick();
    }
};

class Shape : public Control {
public:
    Colour fillColour() const { return fillColour_; }
    void setFillColour(Colour c) { assign(fillColour_, c); }

private:
    Colour fillColour_ = 0;
};

// A timer ticks every `interval` ms while enabled and the interval is above 0.
// Whoever drives time (QTimer or a virtual clock) watches `scheduleChanged`
// and restarts the countdown when either property changes.
class Timer {
public:
    std::function<void()> onTick;
    std::function<void()> scheduleChanged;

    int interval() const { return interval_; }
    void setInterval(int ms) { change(interval_, ms); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { change(enabled_, e); }
    bool running() const { return enabled_ && interval_ > 0; }

    void tick()
    {
        if (onTick)
            onTick();
    }

private:
    template <class T>
    void change(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        if (scheduleChanged)
            scheduleChanged();
    }

    int interval_ = 0;
    bool enabled_ = false;
};

// An alarm at one moment of the steady clock, to the nanosecond: for what
// must happen within a fraction of a millisecond, a byte leaving a line.
// Whoever drives time watches `changed`; ringing clears it.
class Alarm {
public:
    std::function<void()> onRing;
    std::function<void()> changed;

    std::optional<std::int64_t> at() const { return at_; }
    void setAt(std::optional<std::int64_t> ns)
    {
        if (at_ == ns)
            return;
        at_ = ns;
        if (changed)
            changed();
    }
    void ring()
    {
        at_.reset();
        if (onRing)
            onRing();
    }

private:
    std::optional<std::int64_t> at_;
};

}  // namespace dravilo
