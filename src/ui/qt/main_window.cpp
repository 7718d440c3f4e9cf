#include "ui/qt/main_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "program/program.h"
#include "ui/qt/window_areas.h"

namespace dravilo {

namespace {

// The areas above the traffic panel: all of them where the window has the
// room, scrolled where the person gave the traffic more of it. Never cut
// across, never scrolled sideways.
class AreasAbove : public QScrollArea {
public:
    explicit AreasAbove(QWidget* areas)
    {
        setWidget(areas);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    QSize sizeHint() const override { return widget()->sizeHint(); }
    QSize minimumSizeHint() const override
    {
        return {widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width(),
                widget()->minimumSizeHint().height() / 4};
    }
};

}  // namespace

MainWindow::MainWindow(Program& p, std::function<void()> onClose)
    : onClose_(std::move(onClose))
{
    Form1& f = p.form;
    bindings_.bindTitle(f.Caption, this);
    FillMenuBar(menuBar(), f, bindings_);

    // The three areas side by side under their headings, the settings panel
    // where the line area leaves room, so that showing it does not make the
    // window taller; the traffic panel across the foot of the window, the
    // splitter between them where the person drags it.
    auto* areas = new QWidget;
    auto* grid = new QGridLayout(areas);
    grid->setHorizontalSpacing(12);
    grid->addWidget(LoadArea(f, bindings_), 0, 0);
    auto* middle = new QVBoxLayout;
    middle->addWidget(LineArea(f, bindings_));
    middle->addWidget(SettingsPanel(f, bindings_));
    middle->addStretch();
    grid->addLayout(middle, 0, 1);
    grid->addWidget(TerminalArea(f, bindings_), 0, 2);
    grid->setRowStretch(1, 1);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(new AreasAbove(areas));
    traffic_ = TrafficPanel(p, bindings_);
    splitter_->addWidget(traffic_);
    splitter_->setStretchFactor(1, 1);  // a taller window gives the traffic its room
    setCentralWidget(splitter_);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { trafficHeight_ = splitter_->sizes()[1]; });
    traffic_->installEventFilter(this);
    splitter_->installEventFilter(this);

    // As tall as the areas need, where the screen has the room.
    resize(sizeHint().boundedTo(screen()->availableGeometry().size()));
}

// Shown, the traffic panel has the height it had (the person's, or at first
// its own): the window grows by it where the screen has the room, and the
// areas above give the rest. Hidden, it gives back what the window grew.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == traffic_ && event->type() == QEvent::ShowToParent) {
        const int height = trafficHeight_ > 0 ? trafficHeight_ : traffic_->sizeHint().height();
        const int room = screen()->availableGeometry().height() - frameGeometry().height();
        grownBy_ = isMaximized() || isFullScreen() ? 0 : std::clamp(height, 0, std::max(0, room));
        splitPending_ = height;
        if (grownBy_ > 0)
            resize(width(), this->height() + grownBy_);  // split once the splitter has the room
        else
            split();
    } else if (watched == traffic_ && event->type() == QEvent::HideToParent && grownBy_ > 0) {
        resize(width(), height() - std::exchange(grownBy_, 0));
    } else if (watched == splitter_ && event->type() == QEvent::Resize && splitPending_ > 0) {
        split();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::split()
{
    const int height = std::exchange(splitPending_, 0);
    splitter_->setSizes({std::max(0, splitter_->height() - splitter_->handleWidth() - height), height});
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
