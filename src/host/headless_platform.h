#pragma once

#include "base/platform.h"

namespace dravilo {

// A message of the program's own on standard error, as "dravilo: text".
void Say(const QString& text);

// The operating system's services where nobody sits at a window: a message
// box goes to standard error and the program goes on as after OK, a file or
// folder dialog is cancelled, a beep is not heard. The window's services build on
// these.
class HeadlessPlatform : public Platform {
public:
    void beep() override {}
    void messageBox(const QString& text, const QString& detail) override;
    QChar decimalSeparator() const override { return separator_; }
    QString environment(const QString& name) const override;
    Colour windowBackground() const override { return 0xF0F0F0; }
    void setIcon(const QString&) override {}
    QDate today() const override;
    QTime timeOfDay() const override;
    std::int64_t elapsedMs() const override;
    QString monthName(int month) const override;
    QString weekdayName(int weekday) const override;
    QString browseFolder(const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    void processEvents() override;
    void endProgram() override;

private:
    // Read once: the displays are formatted at every frame.
    QChar separator_ = systemSeparator();
    // The local time of day costs the system a look at its time zone files:
    // it is taken once a second, and the steady clock counts on from it.
    mutable QTime wallTime_;
    mutable std::int64_t wallTakenAt_ = 0;
    static QChar systemSeparator();
};

}  // namespace dravilo
