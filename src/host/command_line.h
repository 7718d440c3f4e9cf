#pragma once

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
    QString linePace;     // "line" or "instant": how bytes cross a line no UART paces
    bool headless = false;
};

// The options of this run, read before any application object exists, so
// that a mistake is said before anything else is. "--help" and "--version"
// print and end the program here; an option it does not know, a stray
// argument or an empty value is said on standard error and gives nothing.
std::optional<EmulatorOptions> ParseCommandLine(int argc, char** argv);

}  // namespace dravilo
