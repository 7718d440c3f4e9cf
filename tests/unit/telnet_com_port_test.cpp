#include <gtest/gtest.h>

#include "host/telnet_com_port.h"

using namespace dravilo;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }
std::string spaced(const QByteArray& bytes) { return bytes.toHex(' ').toStdString(); }

struct Exchange {
    const char* host;    // what the host sends, in HEX
    const char* data;    // what the terminal is to read
    const char* answer;  // what goes back to the host
    int notes = 0;
};

// Each case on a fresh connection to a terminal at 9600,n,8,1, and each both
// at once and a byte at a time: a sequence split across reads is the same,
// a purge voiding what earlier reads gave.
void expectExchanges(const std::vector<Exchange>& cases)
{
    for (const Exchange& c : cases) {
        TelnetComPort whole(LineSettings{});
        const TelnetComPort::Decoded d = whole.decode(hex(c.host));
        EXPECT_EQ(spaced(d.data), spaced(hex(c.data))) << c.host;
        EXPECT_EQ(spaced(d.answer), spaced(hex(c.answer))) << c.host;
        EXPECT_EQ(d.notes.size(), c.notes) << c.host << ": " << d.notes.join("; ").toStdString();

        TelnetComPort split(LineSettings{});
        QByteArray data, answer;
        for (const char b : hex(c.host)) {
            const TelnetComPort::Decoded part = split.decode(QByteArray(1, b));
            if (part.purgeSent)
                data.clear();
            data += part.data;
            answer += part.answer;
        }
        EXPECT_EQ(spaced(data), spaced(hex(c.data))) << "a byte at a time: " << c.host;
        EXPECT_EQ(spaced(answer), spaced(hex(c.answer))) << "a byte at a time: " << c.host;
    }
}

}  // namespace

TEST(TelnetComPort, DataBytesFFAreDoubledBothWays)
{
    EXPECT_EQ(TelnetComPort::encode(hex("ff 09 0d 0a")), hex("ff ff 09 0d 0a"));
    EXPECT_EQ(TelnetComPort::encode(hex("0a ff ff")), hex("0a ff ff ff ff"));
    expectExchanges({
        {"0a", "0a", ""},
        {"0b ff ff 01", "0b ff 01", ""},
        {"ff ff ff ff", "ff ff", ""},
    });
}

TEST(TelnetComPort, AgreesBinaryAndSuppressGoAheadAndRefusesTheRest)
{
    EXPECT_EQ(TelnetComPort::greeting(), hex("fffb00 fffd00 fffb03 fffd03"));
    expectExchanges({
        // The answers to our own offers need none back.
        {"fffd00 fffb00 fffd03 fffb03", "", ""},
        // COM-PORT, whichever way asked, with the state of the lines once.
        {"fffb2c", "", "fffd2c fffa2c6bb0fff0"},
        {"fffd2c fffb2c", "", "fffb2c fffa2c6bb0fff0 fffd2c"},
        {"fffd01 fffb18 0a", "0a", "fffc01 fffe18"},  // echo, terminal type: refused
        {"fffe01 fffc18", "", ""},                     // a refusal of what is off: nothing
        // An offer refused is off: asked again, it is agreed and said.
        {"fffe00 fffd00", "", "fffb00"},
        // Turned off once agreed: acknowledged.
        {"fffd00 fffe00", "", "fffc00"},
    });
}

TEST(TelnetComPort, AnswersEachComPortRequestWithTheValueInForce)
{
    expectExchanges({
        {"fffa2c 01 00004b00 fff0", "", "fffa2c 65 00004b00 fff0"},        // 19200 baud
        {"fffa2c 01 00000000 fff0", "", "fffa2c 65 00002580 fff0"},        // asked: the terminal's 9600
        {"fffa2c 01 0000ffffffff fff0", "", "fffa2c 65 0000ffffffff fff0"}, // 65535, escaped both ways
        {"fffa2c 02 07 fff0", "", "fffa2c 66 07 fff0"},
        {"fffa2c 02 09 fff0", "", "fffa2c 66 08 fff0", 1},                 // refused: 8 stays
        {"fffa2c 03 03 fff0", "", "fffa2c 67 03 fff0"},                    // even
        {"fffa2c 04 03 fff0", "", "fffa2c 68 03 fff0"},                    // 1.5 stop bits
        {"fffa2c 05 03 fff0 fffa2c 05 00 fff0", "", "fffa2c 69 03 fff0 fffa2c 69 03 fff0"},
        {"fffa2c 05 09 fff0 fffa2c 05 07 fff0", "", "fffa2c 69 09 fff0 fffa2c 69 09 fff0"},  // DTR off
        {"fffa2c 05 0a fff0", "", "fffa2c 69 0b fff0"},                    // RTS on at first
        {"fffa2c 05 63 fff0", "", "", 1},
        // Polls of the lines' states, answered through the masks.
        {"fffa2c 06 fff0 fffa2c 0a 20 fff0 fffa2c 06 fff0", "", "fffa2c 6a 00 fff0 fffa2c 6e 20 fff0 fffa2c 6a 20 fff0"},
        {"fffa2c 07 fff0 fffa2c 0b 10 fff0 fffa2c 07 fff0", "", "fffa2c 6b b0 fff0 fffa2c 6f 10 fff0 fffa2c 6b 10 fff0"},
        {"fffa2c 00 fff0", "", "fffa2c 64 44726176696c6f20762e322e3030 fff0"},  // "Dravilo v.2.00"
        {"fffa2c 00 61 fff0", "", ""},                                     // the host's signature
        // Purging what the host sent voids the bytes before it, not those after.
        {"0a 0e fffa2c 0c 02 fff0 0c", "0c", "fffa2c 70 02 fff0"},
        {"0a fffa2c 0c 01 fff0", "0a", "fffa2c 70 01 fff0"},
    });
}

TEST(TelnetComPort, ShowsTheLineTheHostAskedFor)
{
    TelnetComPort telnet(LineSettings{});
    EXPECT_EQ(telnet.hostLine(), "9600,n,8,1");
    EXPECT_FALSE(telnet.decode(hex("fffa2c 01 00000000 fff0")).lineSet);
    EXPECT_TRUE(telnet.decode(hex("fffa2c 01 00004b00 fff0 fffa2c 03 03 fff0")).lineSet);
    telnet.decode(hex("fffa2c 02 07 fff0 fffa2c 04 02 fff0"));
    EXPECT_EQ(telnet.hostLine(), "19200,e,7,2");
}

TEST(TelnetComPort, GarbageAndOverlongSequencesAreDroppedAndTheDataGoesOn)
{
    const QByteArray overlong = "fffa2c 00 " + QByteArray(200, 'a') + " fff0 0a";
    expectExchanges({
        {overlong.constData(), "0a", "", 1},
        {"fffa2c 00 61 ff ff 62", "", ""},              // never ended: waits, keeps nothing past the bound
        {"fffa2c 01 00 fffd00 0a", "0a", "", 1},        // given up at the next command
        {"fff0 fff1 fff6 ff41 0a", "0a", ""},           // stray end, NOP, AYT, no command at all
        {"fffa fff0 fffa18 01 fff0 0e", "0e", "", 1},   // empty; an option never agreed
        {"fffa2c 02 fff0 fffa2c 01 0102 fff0 fffa2c 7f 01 fff0", "", "", 3},
        {"fffa2c 08 fff0 fffa2c 0c 07 fff0 fffa2c 0c fff0", "", "", 3},
    });
}
