#pragma once

// A serial line as bits on a wire: each byte a start bit, its data bits
// least significant first, a parity bit where there is one, and its stop
// bits, at the sender's rate; read by a UART at its own rate and framing,
// which finds the falling edge of a start bit and samples the middle of
// each bit from there. Where sender and receiver agree, every byte arrives
// as it was sent; where they do not, what arrives is what a real receiver
// makes of it. Times are nanoseconds on one clock.

#include <QByteArray>
#include <cstdint>
#include <deque>
#include <optional>

#include "base/line_settings.h"

namespace dravilo {

// One direction of a line: what one UART sends, as another receives it.
class UartLink {
public:
    // Sender and receiver; what is on the wire and half received is dropped.
    void setFramings(const UartFraming& sender, const UartFraming& receiver);
    const UartFraming& sender() const { return sender_; }
    const UartFraming& receiver() const { return receiver_; }

    // The bytes go on the wire one after the other, the first at `nowNs` or
    // as soon as the bytes before it have left. When the last one has left.
    std::int64_t send(const QByteArray& bytes, std::int64_t nowNs);
    // The end of the last bit sent; the line is idle from then on.
    std::int64_t freeAtNs() const { return freeAtNs_; }
    // Of what was sent, how many bytes have not left entirely by `nowNs`.
    std::int64_t bytesOnTheWire(std::int64_t nowNs) const;

    // The bytes the receiver has made out by `nowNs`, oldest first.
    QByteArray receivedBy(std::int64_t nowNs);
    // When the receiver will have made out its next byte of what was sent so far.
    std::optional<std::int64_t> nextByteAtNs() const;

private:
    // Bytes sent back to back, from `startNs` on.
    struct Burst {
        std::int64_t startNs;
        QByteArray bytes;
    };

    bool matching() const { return sender_ == receiver_; }
    // The end of byte `index` of a burst (the start of the next one).
    std::int64_t byteEndNs(const Burst& burst, qsizetype index) const;
    std::int64_t burstEndNs(const Burst& burst) const { return byteEndNs(burst, burst.bytes.size() - 1); }
    // The line at that moment in a burst: true is a 1 (a stop bit, mark, the idle line).
    bool level(const Burst& burst, std::int64_t halfBit) const;
    bool level(std::int64_t atNs) const;
    std::optional<std::int64_t> fallingEdge(std::int64_t fromNs, std::int64_t untilNs) const;
    // The middle of the receiver's bit `bit` after a start bit's edge; bit 0 is the start bit.
    std::int64_t sampleNs(std::int64_t edgeNs, int bit) const;
    std::int64_t stopSampleNs(std::int64_t edgeNs) const;

    UartFraming sender_;
    UartFraming receiver_;
    std::deque<Burst> bursts_;
    std::int64_t freeAtNs_ = 0;
    qsizetype taken_ = 0;          // agreeing framings: of the first burst, the bytes received
    std::int64_t huntFromNs_ = 0;  // differing ones: the receiver looks for a start bit from here on
};

}  // namespace dravilo
