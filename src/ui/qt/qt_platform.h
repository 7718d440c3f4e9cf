#pragma once

#include <QWidget>

#include "app/platform.h"

namespace dravilo {

class QtPlatform : public Platform {
public:
    void setWindow(QWidget* window) { window_ = window; }

    void beep() override;
    void messageBox(const QString& text) override;
    QChar decimalSeparator() const override;
    QString environment(const QString& name) const override;
    Colour windowBackground() const override;
    void setIcon(const QString& resource) override;
    QDate today() const override;
    std::int64_t elapsedMs() const override;
    QString monthName(int month) const override;
    QString weekdayName(int weekday) const override;
    QString browseFolder(const QString& title) override;
    void processEvents() override;
    void endProgram() override;

private:
    QWidget* window_ = nullptr;
};

// True where no person can see or answer a window (Qt's offscreen platform).
bool Unattended();

}  // namespace dravilo
