#pragma once

#include <QMainWindow>
#include <functional>

class QSplitter;

#include "ui/qt/control_binding.h"

namespace dravilo {

class Program;

// The window over the headless core: one widget per control model, shown from
// the model and feeding a person's clicks and edits back into it. When the
// window goes, its bindings go first: the models outlive it untouched.
class MainWindow : public QMainWindow {
public:
    // `onClose` runs when the window is closed, not when it is destroyed.
    MainWindow(Program& program, std::function<void()> onClose);

    // The widget that shows a control model (for a menu, its QMenu), for
    // tests that act like a person.
    QWidget* widgetOf(const void* control) const;
    // The action of a menu command.
    QAction* actionOf(const MenuItem& command) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onClose_;
    Bindings bindings_;
    QSplitter* splitter_ = nullptr;  // the areas above, the traffic panel below
    QWidget* traffic_ = nullptr;
    int trafficHeight_ = 0;          // where the person left the splitter, kept for the run
    int grownBy_ = 0;                // the window, as the traffic panel was shown
    int splitPending_ = 0;           // the panel's height, once the splitter has the room

    void split();
};

}  // namespace dravilo
