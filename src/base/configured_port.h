#pragma once

#include <QByteArray>

#include "base/line_settings.h"
#include "base/serial_port.h"

namespace dravilo {

// What every line shares: the COM number and the settings text, taken only
// while the port is closed and checked the same way by each, and the bounds
// of what may wait to be sent or to be read.
class ConfiguredPort : public SerialPort {
public:
    PortResult setCommPort(int number) final;
    int commPort() const final { return number_; }
    PortResult setSettings(const QString& settings) final;
    QString settings() const final { return settingsText_; }  // kept: a frame shows it each time

protected:
    // Whether the COM number and the settings are refused now: while open.
    virtual bool settingsLocked() const { return portOpen(); }
    // A host that stops reading, or a period faster than the rate, must not
    // pile frames up without end: what does not fit is dropped.
    static constexpr qsizetype kMostWaitingOutput = 4096;

    const LineSettings& lineSettings() const { return settings_; }
    // Bytes nobody reads (a ZELM-1 terminal reads none) wait in `received`
    // up to a bound: past it newer bytes are lost, as in a receiver overrun.
    static void keepArrived(QByteArray& received, const char* bytes, qsizetype count);

private:
    int number_ = 1;
    LineSettings settings_;
    QString settingsText_ = settings_.text();
};

}  // namespace dravilo
