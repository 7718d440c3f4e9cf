#include "host/headless_platform.h"

#include <QCoreApplication>
#include <QLocale>
#include <chrono>
#include <cstdio>

namespace dravilo {

void Say(const QString& text) { std::fprintf(stderr, "dravilo: %s\n", text.toLocal8Bit().constData()); }

void HeadlessPlatform::messageBox(const QString& text, const QString& detail)
{
    Say(detail.isEmpty() ? text : text + QStringLiteral(": ") + detail);
}

QChar HeadlessPlatform::systemSeparator()
{
    const QString separator = QLocale::system().decimalPoint();
    return separator.isEmpty() ? QChar(u'.') : separator[0];
}

QString HeadlessPlatform::environment(const QString& name) const
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QDate HeadlessPlatform::today() const { return QDate::currentDate(); }

std::int64_t HeadlessPlatform::elapsedMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QTime HeadlessPlatform::timeOfDay() const
{
    const std::int64_t now = elapsedMs();
    if (!wallTime_.isValid() || now - wallTakenAt_ >= 1000) {
        wallTime_ = QTime::currentTime();
        wallTakenAt_ = now;
    }
    return wallTime_.addMSecs(int(now - wallTakenAt_));
}

QString HeadlessPlatform::monthName(int month) const
{
    return QLocale::system().standaloneMonthName(month, QLocale::LongFormat);
}

QString HeadlessPlatform::weekdayName(int weekday) const
{
    return QLocale::system().dayName(weekday, QLocale::LongFormat);
}

void HeadlessPlatform::processEvents() { QCoreApplication::processEvents(); }

void HeadlessPlatform::endProgram() { QCoreApplication::exit(0); }

}  // namespace dravilo
