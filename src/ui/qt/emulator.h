#pragma once

#include "app/program.h"
#include "port/qt_serial_port.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/timer_drive.h"

namespace dravilo {

// The running program: the core on the real port, real timers and services,
// under its window.
class Emulator {
public:
    Emulator();

    // Runs the start-up, then shows the window.
    void start();

    Program& program() { return program_; }
    MainWindow& window() { return window_; }

private:
    QtPlatform platform_;
    QtSerialPort port_;
    Program program_;
    TimerDrive timers_;
    MainWindow window_;
};

}  // namespace dravilo
