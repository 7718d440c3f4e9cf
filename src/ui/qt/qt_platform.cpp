#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>
#include <chrono>
#include <cstdio>

namespace dravilo {

bool Unattended()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::messageBox(const QString& text)
{
    // A modal box nobody can answer would stop the program for ever.
    if (Unattended()) {
        std::fprintf(stderr, "dravilo: %s\n", text.toLocal8Bit().constData());
        return;
    }
    QMessageBox::information(window_, QStringLiteral("Dravilo"), text);
}

QChar QtPlatform::decimalSeparator() const
{
    const QString separator = QLocale::system().decimalPoint();
    return separator.isEmpty() ? QChar(u'.') : separator[0];
}

QString QtPlatform::environment(const QString& name) const
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

Colour QtPlatform::windowBackground() const
{
    return QApplication::palette().color(QPalette::Window).rgb() & 0xFFFFFF;
}

void QtPlatform::setIcon(const QString& resource)
{
    QIcon icon;
    for (const int size : {32, 16})  // drawn for the large and the small icon size each
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(resource).arg(size), QSize(size, size));
    // The application stands for the window's top-level owner: the task bar shows its icon.
    QApplication::setWindowIcon(icon);
    if (window_)
        window_->setWindowIcon(icon);
}

QDate QtPlatform::today() const { return QDate::currentDate(); }

std::int64_t QtPlatform::elapsedMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString QtPlatform::monthName(int month) const
{
    return QLocale::system().standaloneMonthName(month, QLocale::LongFormat);
}

QString QtPlatform::weekdayName(int weekday) const { return QLocale::system().dayName(weekday, QLocale::LongFormat); }

QString QtPlatform::browseFolder(const QString& title)
{
    if (Unattended())
        return {};  // as if cancelled: nobody is there to choose
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(window_, title));
}

void QtPlatform::processEvents() { QCoreApplication::processEvents(); }

void QtPlatform::endProgram() { QCoreApplication::exit(0); }

}  // namespace dravilo
