// The Win32 serial port on a null-modem pair: COM5 and COM6 are the two
// ends of one line (Wine's ports on a pair of pseudo-terminals, made by the
// test fixture). The terminal's port is on COM5, the host's on COM6.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "host/win_serial_port.h"

using namespace dravilo;

namespace {

struct EndPort : WinSerialPort {
    QByteArray received;
    QList<int> events;

    explicit EndPort(int number) : WinSerialPort([] { return QString(); })
    {
        onComm = [this] {
            events << commEvent();
            if (commEvent() == comEvReceive)
                received += input();
        };
        EXPECT_TRUE(setCommPort(number).ok());
    }
    void open()
    {
        const PortResult opened = setPortOpen(true);
        ASSERT_TRUE(opened.ok()) << opened.error.toStdString();
    }
};

struct WinSerialPortPair : ::testing::Test {
    EndPort terminal{5}, host{6};

    void SetUp() override
    {
        terminal.open();
        host.open();
    }
    // Turns the event loop until `done` or the time is up.
    static void pumpUntil(const std::function<bool()>& done, int ms = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms) {
            QCoreApplication::processEvents();
            Sleep(1);
        }
    }
    // Sends in pieces the output bound lets through, turning the loop meanwhile.
    static void send(EndPort& from, const QByteArray& bytes)
    {
        for (qsizetype at = 0; at < bytes.size(); at += 1024) {
            pumpUntil([&] { return from.output(bytes.mid(at, 1024)).ok(); });
        }
    }
};

QByteArray everyByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    return all;
}

}  // namespace

TEST_F(WinSerialPortPair, BytesCrossBothWaysUnchangedAlsoAfterAReopening)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const QByteArray frame = everyByte() + everyByte();
        send(terminal, frame);
        pumpUntil([&] { return host.received.size() >= frame.size(); });
        EXPECT_EQ(host.received, frame);
        send(host, frame);
        pumpUntil([&] { return terminal.received.size() >= frame.size(); });
        EXPECT_EQ(terminal.received, frame);
        EXPECT_TRUE(terminal.events.contains(comEvReceive));

        // Closing ends the read in flight; the port opens again at once.
        ASSERT_TRUE(terminal.setPortOpen(false).ok());
        EXPECT_FALSE(terminal.portOpen());
        EXPECT_FALSE(terminal.output("x").ok());
        terminal.open();
        terminal.received.clear();
        host.received.clear();
    }
}

TEST_F(WinSerialPortPair, AHostThatDoesNotReadDoesNotPileUpFrames)
{
    ASSERT_TRUE(host.setPortOpen(false).ok());  // the line fills up
    const QByteArray frame("WW00000.0kg\r\n");
    int refused = 0;
    for (int i = 0; i < 20000 && refused == 0; ++i) {
        refused += terminal.output(frame).ok() ? 0 : 1;
        QCoreApplication::processEvents();
    }
    EXPECT_GT(refused, 0);
    EXPECT_TRUE(terminal.portOpen());
    // Once the host reads again, frames go out whole.
    host.open();
    pumpUntil([&] { return terminal.output(frame).ok(); });
    pumpUntil([&] { return host.received.endsWith(frame); }, 10000);
    EXPECT_EQ(host.received.size() % frame.size(), 0);
    EXPECT_TRUE(host.received.endsWith(frame));
}

TEST_F(WinSerialPortPair, SettingsAndNumberOnlyWhileClosedAndMissingPortsSayWhich)
{
    EXPECT_FALSE(terminal.setSettings("19200,e,7,2").ok());
    EXPECT_FALSE(terminal.setCommPort(7).ok());
    EXPECT_FALSE(terminal.setPortOpen(true).ok());  // already open
    ASSERT_TRUE(terminal.setPortOpen(false).ok());
    ASSERT_TRUE(terminal.setSettings("19200,e,7,2").ok());
    terminal.open();
    ASSERT_TRUE(terminal.setPortOpen(false).ok());

    ASSERT_TRUE(terminal.setCommPort(200).ok());
    const PortResult missing = terminal.setPortOpen(true);
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error.startsWith("COM200 (COM200): ")) << missing.error.toStdString();
    EXPECT_FALSE(terminal.portOpen());
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
