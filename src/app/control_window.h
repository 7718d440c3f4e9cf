#pragma once

// The window as the control channel reaches it: any control by its designer
// name, used only as a person could use it (shown, enabled, not read-only).

#include <QString>
#include <vector>

#include "base/form1_names.h"

namespace dravilo {

// Why a command could not be done, or did not come out as asked: its answer
// is "error: " and this.
struct CommandFailure {
    QString why;
};

class ControlWindow {
public:
    explicit ControlWindow(Form1& f) : all_(ControlsByName(f)) {}

    // The text, value, caption or colour of a control.
    QString get(const QString& name) const;
    // Typing into a text box or an editable list.
    void type(const QString& name, const QString& text) const;
    void click(const QString& name) const;
    void check(const QString& name, bool on) const;
    void pick(const QString& name, const QString& item) const;

private:
    AnyControl find(const QString& name) const;
    // Throws unless a person could act on it now.
    template <class T>
    T* reach(const QString& name) const;

    std::vector<NamedControl> all_;
};

}  // namespace dravilo
