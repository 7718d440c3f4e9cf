#pragma once

#include <memory>

#include "app/program.h"
#include "ui/qt/control_channel.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/timer_drive.h"

namespace dravilo {

// What the command line asks for; nothing of it reaches the settings file.
struct EmulatorOptions {
    QString virtualPort;  // a link to make to the host's end of a pseudo-terminal
    QString control;      // the control socket, or "-" for standard input
};

// The running program: the core on the real port (or a virtual one), real
// timers and services, under its window.
class Emulator {
public:
    explicit Emulator(const EmulatorOptions& options = {});

    // Opens the control channel, runs the start-up, then shows the window.
    // False, with the reason on standard error, when the virtual port or the
    // channel cannot be made; nothing has been started then.
    bool start();
    // The window's close path, also when asked for before the window shows
    // (a stop signal while a start-up message waits for its OK).
    void stop();

    Program& program() { return program_; }
    MainWindow& window() { return window_; }

private:
    EmulatorOptions options_;
    QString portError_;  // why the virtual port asked for could not be made
    QtPlatform platform_;
    std::unique_ptr<SerialPort> port_;
    Program program_;
    TimerDrive timers_;
    MainWindow window_;
    ControlChannel control_;
    bool started_ = false;
    bool stopAsked_ = false;
};

}  // namespace dravilo
