#pragma once

// Every control of the window under its designer name ("Text9(0)" for an
// element of a control array), for whoever drives the window by name.

#include <QString>
#include <variant>
#include <vector>

#include "base/form1.h"

namespace dravilo {

// Labels, frames and the title only show a caption.
using AnyControl = std::variant<TextBox*, CheckBox*, OptionButton*, ComboBox*, CommandButton*, MenuItem*,
                                Captioned*, Shape*>;

struct NamedControl {
    QString name;
    AnyControl control;
    const Control* container;  // the frame it stands in, where that frame can be hidden
};

std::vector<NamedControl> ControlsByName(Form1& f);

}  // namespace dravilo
