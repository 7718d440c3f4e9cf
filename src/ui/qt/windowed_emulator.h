#pragma once

#include "host/emulator.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_platform.h"

namespace dravilo {

// The running program under its window: closing the window is its close path.
class WindowedEmulator {
public:
    explicit WindowedEmulator(const EmulatorOptions& options = {});

    // The program's start, then the window where a person can see it.
    bool start();
    // Closes the window as a person would, also while a message box waits.
    void stop();

    Program& program() { return emulator_.program(); }
    MainWindow& window() { return window_; }

private:
    QtPlatform platform_;
    Emulator emulator_;
    MainWindow window_;
};

}  // namespace dravilo
