#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>

namespace dravilo {

// What the command line asks for; nothing of it reaches the settings file.
struct EmulatorOptions {
    QString virtualPort;  // a link to make to the host's end of a pseudo-terminal
    QString tcp;          // [ADDRESS:]PORT to serve the line on, raw
    QString rfc2217;      // [ADDRESS:]PORT to serve the line on, in Telnet with COM-PORT
    QString control;      // the control socket, or "-" for standard input
    QString log;          // a file the traffic is appended to
    QString settingsDir;  // the program folder of this run instead of the usual one
    QString script;       // control commands to run after the start
    bool headless = false;
};

// Asked before any application object exists, for that decides which one.
bool HeadlessAsked(int argc, char** argv);

// The options of this run. "--help" and options it does not know end the
// program here, with what it takes; an option given an empty value (an
// unset shell variable) is said on standard error and gives nothing.
std::optional<EmulatorOptions> ParseCommandLine(const QCoreApplication& app);

}  // namespace dravilo
