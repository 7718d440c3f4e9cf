#pragma once

#include <QWidget>

#include "app/platform.h"

namespace dravilo {

class QtPlatform : public Platform {
public:
    void setDialogParent(QWidget* parent) { parent_ = parent; }

    void beep() override;
    void messageBox(const QString& text) override;
    QChar decimalSeparator() const override;
    QString environment(const QString& name) const override;
    Colour windowBackground() const override;

private:
    QWidget* parent_ = nullptr;
};

}  // namespace dravilo
