#pragma once

#include <functional>
#include <memory>

#include "host/command_line.h"
#include "host/control_channel.h"
#include "host/timer_drive.h"
#include "host/traffic_log.h"
#include "host/alarm_drive.h"
#include "port/line_faults.h"
#include "port/line_model.h"
#include "program/program.h"

namespace dravilo {

// The running program: the core on the real port (or a virtual or network
// one), with the faults of its line, real timers, the control channel and
// the platform's services, with or without a window over it.
class Emulator {
public:
    Emulator(const EmulatorOptions& options, Platform& platform);

    // Makes the control channel and opens the log, then runs the start-up.
    // False, with the reason on standard error, when the virtual port, the
    // channel or the log cannot be made; nothing has been started then.
    bool start();
    // The close path, also when asked for before the start is over: then it
    // runs as soon as the event loop does.
    void stop();
    // What a stop runs once started. Without a window: the port released,
    // the settings saved, the event loop ended. A window closes itself instead.
    void setClose(std::function<void()> close) { close_ = std::move(close); }

    Program& program() { return program_; }

private:
    EmulatorOptions options_;
    QString startError_;   // why the settings folder or the line asked for could not be made
    QString settingsDir_;  // the program folder the command line names, made before the line
    std::unique_ptr<SerialPort> port_;
    LineModel model_;  // the line's pace and framing, where no UART gives them
    LineFaults line_;
    Program program_;
    TimerDrive timers_;
    AlarmDrive modelAlarm_;
    ControlChannel control_;
    TrafficLog log_;
    std::function<void()> close_;
    bool started_ = false;
    bool stopAsked_ = false;
};

}  // namespace dravilo
