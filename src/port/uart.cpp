#include "port/uart.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace dravilo {

namespace {

constexpr std::int64_t kHalfBitUnit = 500'000'000;  // a half bit lasts this / rate nanoseconds

std::int64_t halfBitsNs(std::int64_t halfBits, int rate) { return halfBits * kHalfBitUnit / rate; }

int dataMask(int bits) { return (1 << bits) - 1; }

bool parityBit(QChar parity, int data)
{
    const bool odd = std::popcount(unsigned(data)) % 2 == 1;
    switch (parity.unicode()) {
    case u'e': return odd;
    case u'o': return !odd;
    case u'm': return true;
    default: return false;  // space
    }
}

}  // namespace

void UartLink::setFramings(const UartFraming& sender, const UartFraming& receiver)
{
    sender_ = sender;
    receiver_ = receiver;
    bursts_.clear();
    freeAtNs_ = 0;
    taken_ = 0;
    huntFromNs_ = 0;
}

std::int64_t UartLink::byteEndNs(const Burst& burst, qsizetype index) const
{
    return burst.startNs + halfBitsNs(std::int64_t(index + 1) * sender_.halfBitsPerByte(), sender_.rate);
}

std::int64_t UartLink::send(const QByteArray& bytes, std::int64_t nowNs)
{
    if (bytes.isEmpty())
        return freeAtNs_;
    // Back to back with what is still leaving: one burst, as on the wire.
    if (!bursts_.empty() && freeAtNs_ >= nowNs)
        bursts_.back().bytes += bytes;
    else
        bursts_.push_back({std::max(nowNs, freeAtNs_), bytes});
    freeAtNs_ = burstEndNs(bursts_.back());
    return freeAtNs_;
}

std::int64_t UartLink::bytesOnTheWire(std::int64_t nowNs) const
{
    const std::int64_t left = freeAtNs_ - nowNs;
    const std::int64_t each = sender_.byteNs();
    return left <= 0 ? 0 : (left + each - 1) / each;
}

bool UartLink::level(const Burst& burst, std::int64_t halfBit) const
{
    const int perByte = sender_.halfBitsPerByte();
    const int data = static_cast<unsigned char>(burst.bytes[qsizetype(halfBit / perByte)]) & dataMask(sender_.dataBits);
    const int bit = int(halfBit % perByte) / 2;  // 0 start, 1.. data, then parity, then stop
    if (bit == 0)
        return false;
    if (bit <= sender_.dataBits)
        return (data >> (bit - 1)) & 1;
    if (bit == sender_.dataBits + 1 && sender_.parity != u'n')
        return parityBit(sender_.parity, data);
    return true;
}

bool UartLink::level(std::int64_t atNs) const
{
    for (const Burst& burst : bursts_) {
        if (atNs < burst.startNs)
            return true;
        if (atNs < burstEndNs(burst))
            return level(burst, (atNs - burst.startNs) * 2 * sender_.rate / 1'000'000'000);
    }
    return true;
}

std::optional<std::int64_t> UartLink::fallingEdge(std::int64_t fromNs, std::int64_t untilNs) const
{
    for (const Burst& burst : bursts_) {
        const std::int64_t endNs = burstEndNs(burst);
        if (endNs <= fromNs)
            continue;
        if (burst.startNs > untilNs)
            return std::nullopt;
        // A burst begins with a start bit after a 1: the idle line, or the
        // stop bits of a burst that ended there.
        if (burst.startNs >= fromNs)
            return burst.startNs;
        // Within it, from the first half bit at or after `fromNs`.
        const std::int64_t halves = std::int64_t(burst.bytes.size()) * sender_.halfBitsPerByte();
        std::int64_t half = ((fromNs - burst.startNs) * 2 * sender_.rate + 999'999'999) / 1'000'000'000;
        for (; half < halves; ++half) {
            const std::int64_t atNs = burst.startNs + halfBitsNs(half, sender_.rate);
            if (atNs > untilNs)
                return std::nullopt;
            if (atNs >= fromNs && half > 0 && !level(burst, half) && level(burst, half - 1))
                return atNs;
        }
    }
    return std::nullopt;
}

std::int64_t UartLink::sampleNs(std::int64_t edgeNs, int bit) const
{
    return edgeNs + halfBitsNs(2 * bit + 1, receiver_.rate);
}

std::int64_t UartLink::stopSampleNs(std::int64_t edgeNs) const
{
    return sampleNs(edgeNs, 1 + receiver_.dataBits + (receiver_.parity == u'n' ? 0 : 1));
}

QByteArray UartLink::receivedBy(std::int64_t nowNs)
{
    QByteArray out;
    if (matching()) {
        const int mask = dataMask(sender_.dataBits);
        while (!bursts_.empty() && byteEndNs(bursts_.front(), taken_) <= nowNs) {
            out += char(bursts_.front().bytes[taken_] & mask);
            if (++taken_ == bursts_.front().bytes.size()) {
                bursts_.pop_front();
                taken_ = 0;
            }
        }
        return out;
    }
    for (;;) {
        const std::optional<std::int64_t> edge = fallingEdge(huntFromNs_, nowNs);
        if (!edge) {
            huntFromNs_ = std::max(huntFromNs_, nowNs);  // every edge up to now was looked at
            break;
        }
        if (stopSampleNs(*edge) > nowNs) {
            huntFromNs_ = *edge;  // found again once the byte is complete
            break;
        }
        if (level(sampleNs(*edge, 0))) {  // a glitch, no start bit: look on
            huntFromNs_ = sampleNs(*edge, 0);
            continue;
        }
        // What a UART in raw mode delivers, also with a parity or framing
        // error: the data bits it sampled.
        int data = 0;
        for (int bit = 0; bit < receiver_.dataBits; ++bit)
            data |= int(level(sampleNs(*edge, 1 + bit))) << bit;
        out += char(data);
        huntFromNs_ = stopSampleNs(*edge);
    }
    while (!bursts_.empty() && burstEndNs(bursts_.front()) <= huntFromNs_)
        bursts_.pop_front();
    return out;
}

std::optional<std::int64_t> UartLink::nextByteAtNs() const
{
    if (bursts_.empty())
        return std::nullopt;
    if (matching())
        return byteEndNs(bursts_.front(), taken_);
    const std::optional<std::int64_t> edge = fallingEdge(huntFromNs_, std::numeric_limits<std::int64_t>::max());
    if (!edge)
        return std::nullopt;
    return stopSampleNs(*edge);
}

}  // namespace dravilo
