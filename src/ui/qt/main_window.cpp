#include "ui/qt/main_window.h"

#include <QCloseEvent>
#include <QGridLayout>

#include "base/form1.h"
#include "ui/qt/window_areas.h"

namespace dravilo {

MainWindow::MainWindow(Form1& f, std::function<void()> onClose)
    : onClose_(std::move(onClose))
{
    bindings_.bindTitle(f.Caption, this);
    FillMenuBar(menuBar(), f, bindings_);

    // The three areas side by side under their headings, the settings panel
    // across the foot of the window.
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);
    grid->setHorizontalSpacing(18);
    grid->addWidget(LoadArea(f, bindings_), 0, 0);
    grid->addWidget(LineArea(f, bindings_), 0, 1);
    grid->addWidget(TerminalArea(f, bindings_), 0, 2);
    grid->addWidget(SettingsPanel(f, bindings_), 1, 0, 1, 3);
}

QWidget* MainWindow::widgetOf(const void* control) const
{
    return qobject_cast<QWidget*>(bindings_.viewOf(control));
}

QAction* MainWindow::actionOf(const MenuItem& command) const
{
    return qobject_cast<QAction*>(bindings_.viewOf(&command));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (onClose_)
        onClose_();
    event->accept();
}

}  // namespace dravilo
