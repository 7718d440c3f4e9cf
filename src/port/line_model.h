#pragma once

// The line between the terminal and a host where no UART paces it (a
// pseudo-terminal, a network line): bytes leave at the terminal's rate, one
// after another; what the terminal sends waits in one bounded output buffer,
// as in a serial component, and what does not fit is not sent; and where the
// host's end is set otherwise than the terminal's, each side reads what its
// UART would make of the other's bits. The host's bytes reach the terminal
// at the same pace. A line that paces itself (a real port) is passed through
// untouched, and so is everything but the bytes.

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <optional>

#include "base/controls.h"
#include "base/serial_port.h"
#include "port/uart.h"

namespace dravilo {

class LineModel : public SerialPort {
public:
    enum class Pace { Line, Instant };
    // What may wait to leave, as in a serial component's output buffer.
    static constexpr qsizetype kOutputBuffer = 4096;
    // What the host may have sent ahead of the line, and the terminal not read.
    static constexpr qsizetype kInputBuffer = 4096;

    // `nowNs`: nanoseconds on a clock that only goes forward, the alarm's.
    LineModel(SerialPort& line, Pace pace, std::function<std::int64_t()> nowNs);

    // Rings when the next byte is due at either end; driven to the nanosecond.
    Alarm alarm;
    // Told when what a person sees of the line changes: its pace, the host's
    // framing, a frame not sent.
    std::function<void()> onChange;

    bool modelled() const { return !line_.pacesItself(); }
    Pace pace() const { return pace_; }
    // The host's framing where it garbles the bytes; nothing where it agrees.
    std::optional<UartFraming> mismatch() const;
    int framesNotSent() const { return notSent_; }

    PortResult setCommPort(int number) override { return line_.setCommPort(number); }
    int commPort() const override { return line_.commPort(); }
    PortResult setSettings(const QString& settings) override;
    QString settings() const override { return line_.settings(); }
    PortResult setPortOpen(bool open) override;
    bool portOpen() const override { return line_.portOpen(); }
    PortResult output(const QByteArray& bytes) override;
    QByteArray input() override;
    int commEvent() const override { return event_; }
    QString notOpenReason() const override { return line_.notOpenReason(); }
    QString lineDescription() const override { return line_.lineDescription(); }
    QStringList devicesPresent() const override { return line_.devicesPresent(); }
    QString deviceChosen() const override { return line_.deviceChosen(); }
    PortResult chooseDevice(int& number, const QString& device) override { return line_.chooseDevice(number, device); }
    bool pacesItself() const override { return line_.pacesItself(); }
    std::optional<UartFraming> hostFraming() const override { return line_.hostFraming(); }

private:
    void lineEvent();
    void serve();  // what is due at either end, then the alarm for what comes next
    void drain();  // everything on its way, at once
    void deliver(std::int64_t nowNs);
    void arm(std::int64_t nowNs);
    // The host's framing read anew: a change resets both directions and is told.
    void followHost();
    bool passing() const;  // the bytes pass as they are, at once
    void raise(int event);
    void report(const QString& what);

    SerialPort& line_;
    Pace pace_;
    std::function<std::int64_t()> now_;
    UartLink toHost_;
    UartLink fromHost_;
    std::optional<std::pair<UartFraming, UartFraming>> framings_;  // the terminal's and the host's in force
    QByteArray undelivered_;  // made out by the host's UART, not yet taken by the line
    QByteArray arrived_;      // made out by the terminal's UART, not yet read
    bool overrunSaid_ = false;
    bool draining_ = false;  // the host closed its end: nothing waits for the pace any more
    int notSent_ = 0;
    int event_ = comEvReceive;
};

}  // namespace dravilo
