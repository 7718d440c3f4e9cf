#pragma once

// What the operating system gives the program. The Qt window supplies the
// real services; tests use a double that records what happened.

#include <QChar>
#include <QString>

#include "ui/controls.h"

namespace dravilo {

class Platform {
public:
    virtual ~Platform() = default;

    virtual void beep() = 0;
    virtual void messageBox(const QString& text) = 0;  // modal, OK button
    virtual QChar decimalSeparator() const = 0;
    virtual QString environment(const QString& name) const = 0;  // empty when unset
    virtual Colour windowBackground() const = 0;
};

}  // namespace dravilo
