#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>

namespace dravilo {

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::messageBox(const QString& text)
{
    QMessageBox::information(parent_, QStringLiteral("Dravilo"), text);
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

}  // namespace dravilo
