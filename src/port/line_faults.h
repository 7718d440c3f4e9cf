#pragma once

// Faults of a real line for testing a host: the replies leaving the port are
// dropped, delayed, corrupted, cut short or preceded by noise, for the next
// N replies or at a rate. Everything else passes through untouched, and with
// no fault set the line is byte for byte what the terminal sends.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <random>

#include "port/serial_port.h"
#include "ui/controls.h"

namespace dravilo {

enum class FaultKind { Drop, Delay, Corrupt, Cut, Noise };

struct Fault {
    FaultKind kind = FaultKind::Drop;
    int delayMs = 0;    // for Delay
    int count = 0;      // the next `count` replies; 0 when a rate is given
    double rate = 0;    // the share of replies, 0 to 1, when no count is given
};

class LineFaults : public SerialPort {
public:
    explicit LineFaults(SerialPort& line);

    void set(const Fault& fault) { fault_ = fault; }  // replaces the fault set before
    void clear() { fault_.reset(); }
    // "none", or the fault in force as the command that set it reads.
    QString describe() const;

    // Sends the delayed replies in their turn; driven like the window's timers.
    Timer delayTimer;

    PortResult setCommPort(int number) override { return line_.setCommPort(number); }
    int commPort() const override { return line_.commPort(); }
    PortResult setSettings(const QString& settings) override { return line_.setSettings(settings); }
    QString settings() const override { return line_.settings(); }
    PortResult setPortOpen(bool open) override { return line_.setPortOpen(open); }
    bool portOpen() const override { return line_.portOpen(); }
    PortResult output(const QByteArray& bytes) override;
    QByteArray input() override { return line_.input(); }
    int commEvent() const override { return line_.commEvent(); }

private:
    // The fault in force when it takes this reply; a counted one is counted.
    std::optional<Fault> strikes();
    void sendDelayed();

    SerialPort& line_;
    std::optional<Fault> fault_;
    QList<QByteArray> delayed_;  // waiting their turn, oldest first
    std::mt19937 random_{20260309};  // fixed: a test run is repeatable
};

}  // namespace dravilo
