#pragma once

#include <QMainWindow>
#include <functional>
#include <unordered_map>

namespace dravilo {

struct Form1;

// The window over the headless core: one widget per control model, shown from
// the model and feeding a person's clicks and edits back into it.
class MainWindow : public QMainWindow {
public:
    MainWindow(Form1& form, std::function<void()> onClose);

    // The widget that shows a control model, for tests that act like a person.
    QWidget* widgetOf(const void* control) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // A widget for a control model, bound to it and remembered for widgetOf.
    template <class Widget, class Model>
    Widget* make(Model& model, QWidget* parent);

    std::function<void()> onClose_;
    std::unordered_map<const void*, QWidget*> widgets_;
};

}  // namespace dravilo
