#include "ui/qt/main_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QVBoxLayout>

#include "program/program.h"
#include "ui/qt/window_areas.h"

namespace dravilo {

MainWindow::MainWindow(Program& p, std::function<void()> onClose)
    : onClose_(std::move(onClose))
{
    Form1& f = p.form;
    bindings_.bindTitle(f.Caption, this);
    FillMenuBar(menuBar(), f, bindings_);

    // The three areas side by side under their headings, the settings panel
    // where the line area leaves room, so that showing it does not make the
    // window taller; the traffic panel across the foot of the window.
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);
    grid->setHorizontalSpacing(12);
    grid->addWidget(LoadArea(f, bindings_), 0, 0);
    auto* middle = new QVBoxLayout;
    middle->addWidget(LineArea(f, bindings_));
    middle->addWidget(SettingsPanel(f, bindings_));
    middle->addStretch();
    grid->addLayout(middle, 0, 1);
    grid->addWidget(TerminalArea(f, bindings_), 0, 2);
    grid->addWidget(TrafficPanel(p, bindings_), 1, 0, 1, 3);
    grid->setRowStretch(1, 1);  // a taller window gives the traffic its room
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
