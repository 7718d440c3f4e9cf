#pragma once

// The whole program: the window's controls, the terminal state, the settings
// record, the serial port and the platform services. Handlers take it; the
// events reach them once RouteEvents has connected them.

#include <QSet>
#include <QString>
#include <functional>
#include <vector>

#include "base/form1.h"
#include "base/platform.h"
#include "base/serial_port.h"
#include "program/settings_record.h"
#include "program/sway_random.h"
#include "program/terminal_state.h"
#include "program/traffic.h"
#include "program/waits.h"

namespace dravilo {

class Program {
public:
    Program(SerialPort& port, Platform& platform);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Form1 form;
    TerminalState state;
    SettingsRecord settings;
    SerialPort& MSComm1;  // the line as the terminal uses it
    Platform& platform;
    SwayRandom random;
    Traffic traffic;
    TrafficRows trafficRows;  // what the traffic panel shows
    Waits waits;              // answers of the control channel that come after a pause

    QString strSettingsFile;
    QString strProgramFiles;
    QString strProgramFolder;  // ends in the path separator
    QString settingsDir;       // the program folder the command line names, if it names one
    QString strMonthFolder;
    QString strMonthName;      // of the window title, in the current language

    bool ending = false;            // closed or exited: nothing more is run
    bool keepSettingsFile = false;  // it could not be read at start: never written over
    int failedSaves = 0;            // of the settings file, in this run
    QString lastSaveFailure;
    // Told once, when the port's next re-configuration has run, what failed:
    // empty when the port is open on the new settings.
    std::vector<std::function<void(const QString& failure)>> afterReconfiguration;
    // Shows the window's words that the language switch does not reach itself.
    std::vector<std::function<void()>> alsoInTheLanguage;

    // The display's second and third fields in the price format: price and
    // cost, unit weight and piece count, or weighings and total cost by the mode.
    void showPriceAndCost(double price, double cost);
    // An event of the line's traffic, at the time of day now.
    void record(TrafficDirection direction, const QByteArray& bytes, const QString& what);
    // Format with the platform's decimal separator.
    QString format(double value, const QString& pattern) const;
    // The value of a text a person typed or the program wrote: "." and "," and
    // the platform's separator are all read as the decimal point.
    double value(const QString& text) const;
    // A message box the first time a failure is reported in the run, in the
    // language then in use: a failing file is said once, not at every save.
    void reportOnce(const QString& failure, const QString& text);

private:
    QSet<QString> reported_;
};

}  // namespace dravilo
