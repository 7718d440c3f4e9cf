#pragma once

#include <QWidget>

#include "host/headless_platform.h"

namespace dravilo {

// The services of a window a person sits at: a message box to answer, a
// folder or file dialog, the beep, the window's colour and icon. Where no person can
// see the window (Qt's offscreen platform), the headless ones stand in.
class QtPlatform : public HeadlessPlatform {
public:
    void setWindow(QWidget* window) { window_ = window; }

    void beep() override;
    void messageBox(const QString& text, const QString& detail) override;
    Colour windowBackground() const override;
    void setIcon(const QString& resource) override;
    QString browseFolder(const QString& title) override;
    QString saveFileName(const QString& title, const QString& suggested) override;

private:
    QWidget* window_ = nullptr;
};

// True where no person can see or answer a window (Qt's offscreen platform).
bool Unattended();

}  // namespace dravilo
