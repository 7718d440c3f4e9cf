#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QMessageBox>
#include <QPalette>

#include "base/captions.h"

namespace dravilo {

bool Unattended()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::messageBox(const QString& text, const QString& detail)
{
    if (Unattended())
        return HeadlessPlatform::messageBox(text, detail);
    // Shown, not waited for: the terminal, its timers and the control channel
    // go on while the box waits for a person. The same words are not stacked.
    for (const QMessageBox* open : window_ ? window_->findChildren<QMessageBox*>() : QList<QMessageBox*>())
        if (open->text() == text && open->detailedText() == detail)
            return;
    auto* box = new QMessageBox(QMessageBox::Information, kProductName, text, QMessageBox::Ok, window_);
    box->setDetailedText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
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

QString QtPlatform::browseFolder(const QString& title)
{
    if (Unattended())
        return HeadlessPlatform::browseFolder(title);  // nobody is there to choose
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(window_, title));
}

QString QtPlatform::saveFileName(const QString& title, const QString& suggested)
{
    if (Unattended())
        return HeadlessPlatform::saveFileName(title, suggested);
    return QDir::toNativeSeparators(QFileDialog::getSaveFileName(window_, title, suggested));
}

}  // namespace dravilo
