#pragma once

#include <QMap>
#include <QStringList>
#include <functional>

#include "base/platform.h"

namespace dravilo::test {

constexpr Colour kTestBackground = 0xF0F0F0;

class FakePlatform : public Platform {
public:
    int beeps = 0;
    QStringList messages;
    QChar separator = u'.';
    QMap<QString, QString> env;
    QStringList icons;
    QDate date{2026, 3, 5};  // a Thursday
    QString folderAnswer;  // what the folder dialog returns; empty: cancelled
    QStringList folderTitles;
    QString fileAnswer;  // what the save dialog returns; empty: cancelled
    std::function<void()> onProcessEvents;
    std::function<std::int64_t()> clock = [] { return std::int64_t(0); };
    int ended = 0;

    void beep() override { ++beeps; }
    void messageBox(const QString& text, const QString&) override { messages << text; }
    QChar decimalSeparator() const override { return separator; }
    QString environment(const QString& name) const override { return env.value(name); }
    Colour windowBackground() const override { return kTestBackground; }
    void setIcon(const QString& resource) override { icons << resource; }
    QDate today() const override { return date; }
    std::int64_t elapsedMs() const override { return clock(); }
    QTime timeOfDay() const override { return QTime(12, 0).addMSecs(int(clock() % 86'400'000)); }
    QString monthName(int month) const override { return QStringLiteral("month%1").arg(month); }
    QString weekdayName(int weekday) const override { return QStringLiteral("weekday%1").arg(weekday); }
    QString browseFolder(const QString& title) override
    {
        folderTitles << title;
        return folderAnswer;
    }
    QString saveFileName(const QString&, const QString&) override { return fileAnswer; }
    void processEvents() override
    {
        if (onProcessEvents)
            onProcessEvents();
    }
    void endProgram() override { ++ended; }
};

}  // namespace dravilo::test
