#pragma once

// Faults of a real line for testing a host: the replies leaving the port are
// dropped, delayed, corrupted, cut short or preceded by noise, for the next
// N replies or at a rate. Everything else passes through untouched, and with
// no fault set the line is byte for byte what the terminal sends.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>

#include "base/serial_port.h"
#include "program/traffic.h"
#include "base/controls.h"

namespace dravilo {

class Program;

enum class FaultKind { Drop, Delay, Corrupt, Cut, Noise };

struct Fault {
    FaultKind kind = FaultKind::Drop;
    int delayMs = 0;    // for Delay
    int count = 0;      // the next `count` replies; 0 when a rate is given
    double rate = 0;    // the share of replies, 0 to 1, when no count is given
};

// A fault as the control channel writes it after "fault": "drop next 2",
// "delay 400 rate 10%". Nothing, with the reason, when the words are none.
std::optional<Fault> ParseFault(const QStringList& words, QString& why);

class LineFaults : public SerialPort {
public:
    // `now`: milliseconds on a clock that only goes forward.
    LineFaults(SerialPort& line, std::function<std::int64_t()> now);

    void set(const Fault& fault);  // replaces the fault set before
    // Ends the fault; replies a delay still holds are sent at once, in order.
    void clear();
    // "none", or the fault in force as the command that set it reads.
    QString describe() const;
    bool inForce() const { return fault_.has_value(); }
    // Told whenever the fault in force changes: set, ended, or counted down.
    std::function<void()> onFaultChange;

    // Sends the delayed replies in their turn; driven like the window's timers.
    Timer delayTimer;
    // What each fault does to a reply goes into this program's traffic.
    void reportTo(Program& program) { program_ = &program; }

    PortResult setCommPort(int number) override { return line_.setCommPort(number); }
    int commPort() const override { return line_.commPort(); }
    PortResult setSettings(const QString& settings) override { return line_.setSettings(settings); }
    QString settings() const override { return line_.settings(); }
    // Replies still held are dropped: they were meant for the line as it was.
    PortResult setPortOpen(bool open) override;
    bool portOpen() const override { return line_.portOpen(); }
    PortResult output(const QByteArray& bytes) override;
    QByteArray input() override { return line_.input(); }
    int commEvent() const override { return line_.commEvent(); }
    QString notOpenReason() const override { return line_.notOpenReason(); }
    QString lineDescription() const override { return line_.lineDescription(); }
    QStringList devicesPresent() const override { return line_.devicesPresent(); }
    QString deviceChosen() const override { return line_.deviceChosen(); }
    PortResult chooseDevice(int& number, const QString& device) override { return line_.chooseDevice(number, device); }

private:
    struct Held {
        QByteArray bytes;
        std::int64_t due;
    };

    // The fault in force when it takes this reply; a counted one is counted.
    std::optional<Fault> strikes();
    // The reply as the fault leaves it; nothing when it is dropped.
    std::optional<QByteArray> damaged(const Fault& fault, QByteArray bytes);
    void sendDue();
    void tell(TrafficDirection direction, const QByteArray& bytes, const QString& what);
    void dropHeld();
    void armDelayTimer();
    void faultChanged();

    SerialPort& line_;
    Program* program_ = nullptr;
    std::function<std::int64_t()> now_;
    std::optional<Fault> fault_;
    QList<Held> held_;  // waiting their turn, oldest first
    qsizetype heldBytes_ = 0;
    std::mt19937 random_{20260309};  // fixed: a test run is repeatable
};

}  // namespace dravilo
