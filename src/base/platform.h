#pragma once

// What the operating system gives the program. The Qt window supplies the
// real services; tests use a double that records what happened and answers
// the dialogs as the test says.

#include <QChar>
#include <QDate>
#include <QString>
#include <QTime>
#include <cstdint>

#include "base/controls.h"

namespace dravilo {

// Folders written by the program end in it.
#ifdef Q_OS_WIN
inline constexpr QChar kPathSeparator = u'\\';
#else
inline constexpr QChar kPathSeparator = u'/';
#endif

class Platform {
public:
    virtual ~Platform() = default;

    virtual void beep() = 0;
    // With an OK button, in front of the window until it is pressed; the
    // program goes on meanwhile. `detail` is why, for whoever wants it (the
    // box keeps it out of sight). Where no person can answer it, both go to
    // standard error.
    virtual void messageBox(const QString& text, const QString& detail = {}) = 0;
    virtual QChar decimalSeparator() const = 0;
    virtual QString environment(const QString& name) const = 0;  // empty when unset
    virtual Colour windowBackground() const = 0;
    // The named icon of the program's resources on the window and on its
    // top-level owner, at the system's large and small icon sizes.
    virtual void setIcon(const QString& resource) = 0;

    virtual QDate today() const = 0;
    // The wall clock's time of day, for the traffic's times.
    virtual QTime timeOfDay() const = 0;
    // Milliseconds on a clock that only goes forward, for measuring waits.
    virtual std::int64_t elapsedMs() const = 0;
    // Full names as the system's regional settings write them on their own:
    // month 1 to 12, weekday 1 (Monday) to 7.
    virtual QString monthName(int month) const = 0;
    virtual QString weekdayName(int weekday) const = 0;

    // A folder chosen by the user: its full path, or empty when cancelled.
    virtual QString browseFolder(const QString& title) = 0;
    // A file to save to, chosen by the user: its full path, or empty when
    // cancelled. A file already there is only chosen when the user agrees.
    virtual QString saveFileName(const QString& title, const QString& suggested) = 0;
    // Lets the events already queued run once.
    virtual void processEvents() = 0;
    // Ends the program now, without the window's close handling.
    virtual void endProgram() = 0;
};

}  // namespace dravilo
