#include <gtest/gtest.h>

#include <limits>

#include "port/uart.h"

using namespace dravilo;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

UartFraming framing(int rate, QChar parity = u'n', int dataBits = 8, int stopHalves = 2)
{
    return {rate, dataBits, parity, stopHalves};
}

}  // namespace

// What a receiver makes of a sender's bits, byte for byte, as a real UART
// in raw mode delivers it: the data bits it sampled, errors and all.
TEST(UartLink, AReceiverMakesOutWhatItsFramingReads)
{
    const UartFraming terminal = framing(9600);
    const struct {
        const char* what;
        UartFraming sender, receiver;
        QByteArray sent, received;
    } cases[] = {
        {"agreeing framings: every byte as sent", terminal, terminal, bytes({0x00, 0x0A, 0xFF, 0x0D}),
         bytes({0x00, 0x0A, 0xFF, 0x0D})},
        {"seven data bits each side", framing(9600, u'e', 7), framing(9600, u'e', 7), bytes({0xC1}), bytes({0x41})},
        {"twice the rate: each bit read twice", terminal, framing(19200), bytes({0x0F}), bytes({0xFE, 0x80})},
        {"twice the rate, all ones", terminal, framing(19200), bytes({0xFF}), bytes({0xFE})},
        {"a slower receiver finds no start bit in ones", terminal, framing(4000), bytes({0xFF}), {}},
        {"parity expected: the next start bit is read as a stop bit", terminal, framing(9600, u'e'),
         bytes({0x41, 0x42}), bytes({0x41, 0xE8})},
        {"seven data bits read from eight", terminal, framing(9600, u'n', 7), bytes({0xC1, 0x41}), bytes({0x41, 0x41})},
        {"two stop bits against one: the same bytes", framing(9600, u'n', 8, 4), terminal, bytes({0x41, 0x42}),
         bytes({0x41, 0x42})},
        {"one and a half against one", terminal, framing(9600, u'n', 8, 3), bytes({0x0A, 0x0D}), bytes({0x0A, 0x0D})},
        {"a long space is a break: one NUL", framing(1200), terminal, bytes({0x00}), bytes({0x00})},
    };
    for (const auto& c : cases) {
        UartLink link;
        link.setFramings(c.sender, c.receiver);
        link.send(c.sent, 1000);
        EXPECT_EQ(link.receivedBy(std::numeric_limits<std::int64_t>::max()).toHex(' '), c.received.toHex(' '))
            << c.what;
        EXPECT_FALSE(link.nextByteAtNs()) << c.what << ": nothing more to come";
    }
}

// Bytes leave one after another at the sender's pace, and arrive as their
// last bit does: a 20-byte frame at 9600,n,8,1 takes 20.8 ms.
TEST(UartLink, BytesTakeTheirTimeOnTheWire)
{
    const UartFraming line = framing(9600);
    EXPECT_EQ(line.byteNs(), 1'041'666);
    EXPECT_EQ(framing(9600, u'e', 7, 3).byteNs(), 1'093'750) << "1 + 7 + 1 + 1.5 bits";
    UartLink link;
    link.setFramings(line, line);
    EXPECT_EQ(link.send(QByteArray(20, 'x'), 0), 20'833'333);
    EXPECT_EQ(link.bytesOnTheWire(10'000'000), 11);
    EXPECT_EQ(link.receivedBy(10'000'000).size(), 9);
    EXPECT_EQ(*link.nextByteAtNs(), 10'416'666);
    EXPECT_EQ(link.send("y", 15'000'000), 21'875'000) << "behind the frame, back to back";
    EXPECT_EQ(link.receivedBy(30'000'000).size(), 12);

    // At other framings the receiver's bytes come as it reads their stop bits.
    link.setFramings(line, framing(19200));
    link.send(bytes({0x0F}), 0);
    EXPECT_EQ(link.receivedBy(493'000).size(), 0);
    EXPECT_EQ(*link.nextByteAtNs(), 494'791) << "the middle of the first stop bit at 19200";
    EXPECT_EQ(link.receivedBy(494'791), bytes({0xFE}));
}
