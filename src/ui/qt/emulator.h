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
    // The window's close path, also when asked for before the window shows
    // (a stop signal while a start-up message waits for its OK).
    void stop();

    Program& program() { return program_; }
    MainWindow& window() { return window_; }

private:
    QtPlatform platform_;
    QtSerialPort port_;
    Program program_;
    TimerDrive timers_;
    MainWindow window_;
    bool started_ = false;
    bool stopAsked_ = false;
};

}  // namespace dravilo
