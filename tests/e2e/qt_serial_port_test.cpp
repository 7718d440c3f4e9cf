// The real QSerialPort implementation on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "host/qt_serial_port.h"
#include "pty_pair.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct QtSerialPortOnPty : ::testing::Test {
    QTemporaryDir programFiles;
    QString folder = programFiles.path() + "/Dravilo v.2.00/";
    PtyPair pty;
    QtSerialPort port{[this] { return folder; }};
    QList<int> events;
    QByteArray received;

    void SetUp() override
    {
        LinkPort(programFiles.path(), 2, pty);
        port.onComm = [this] {
            events << port.commEvent();
            if (port.commEvent() == comEvReceive)
                received += port.input();
        };
        ASSERT_TRUE(port.setCommPort(2).ok());
        ASSERT_TRUE(port.setSettings("9600,n,8,1").ok());
        const PortResult opened = port.setPortOpen(true);
        ASSERT_TRUE(opened.ok()) << opened.error.toStdString();
    }
    static void pump() { QCoreApplication::processEvents(); }
};

QByteArray everyByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    return all;
}

}  // namespace

TEST_F(QtSerialPortOnPty, BytesGoOutAndComeInUnchanged)
{
    EXPECT_TRUE(port.portOpen());
    ASSERT_TRUE(port.output(everyByte()).ok());
    EXPECT_EQ(pty.read(256, 2000), everyByte());

    pty.write(everyByte());
    for (int i = 0; i < 2000 && received.size() < 256; ++i) {
        pump();
        pty.read(1, 1);  // a millisecond's pause
    }
    EXPECT_EQ(received, everyByte());
    EXPECT_TRUE(events.contains(comEvReceive));
}

TEST_F(QtSerialPortOnPty, UnreadBytesWaitUpToABound)
{
    int arrivals = 0;
    port.onComm = [&] { arrivals += port.commEvent() == comEvReceive; };  // reads nothing
    QByteArray sent;
    for (int i = 0; i < 200000; ++i)
        sent.append(char(i % 251));
    std::atomic<bool> written = false;
    std::thread host([&] {  // blocks while the line is full, as a real host would
        pty.write(sent);
        written = true;
    });
    while (!written)
        pump();
    host.join();
    for (int i = 0; i < 200; ++i)
        pump();
    const int before = arrivals;
    pty.write("x");
    for (int i = 0; i < 2000 && arrivals == before; ++i) {
        pump();
        usleep(1000);
    }
    EXPECT_GT(arrivals, before);  // still told of new bytes
    EXPECT_EQ(port.input(), sent.left(65536));  // the oldest kept, in order
    EXPECT_EQ(port.input(), QByteArray());
}

TEST_F(QtSerialPortOnPty, AHostThatDoesNotReadDoesNotPileUpFrames)
{
    const QByteArray frame("WW00000.0kg\r\n");
    int refused = 0;
    for (int i = 0; i < 20000; ++i) {
        refused += port.output(frame).ok() ? 0 : 1;
        pump();
    }
    EXPECT_GT(refused, 0);
    EXPECT_TRUE(port.portOpen());
    // Once the host reads again, frames go out whole.
    const QByteArray waiting = pty.readFor(300, pump);
    EXPECT_EQ(waiting.size() % frame.size(), 0);
    EXPECT_TRUE(port.output(frame).ok());
    EXPECT_EQ(pty.read(frame.size(), 2000, pump), frame);
}

TEST_F(QtSerialPortOnPty, SettingsAndNumberOnlyWhileClosed)
{
    EXPECT_EQ(port.settings(), "9600,n,8,1");
    EXPECT_FALSE(port.setSettings("19200,e,7,2").ok());
    EXPECT_FALSE(port.setCommPort(3).ok());
    EXPECT_FALSE(port.setPortOpen(true).ok());  // already open
    ASSERT_TRUE(port.setPortOpen(false).ok());
    EXPECT_FALSE(port.setSettings("9600,x,8,1").ok());
    EXPECT_EQ(port.settings(), "9600,n,8,1");
    EXPECT_TRUE(port.setSettings("19200,E,7,2").ok());
    EXPECT_EQ(port.settings(), "19200,e,7,2");
    const PortResult reopened = port.setPortOpen(true);
    EXPECT_TRUE(reopened.ok()) << reopened.error.toStdString();
}

TEST_F(QtSerialPortOnPty, AMissingDeviceFailsWithAReason)
{
    ASSERT_TRUE(port.setPortOpen(false).ok());
    EXPECT_FALSE(port.output("x").ok());
    ASSERT_TRUE(port.setCommPort(200).ok());  // /dev/ttyS199 does not exist
    const PortResult opened = port.setPortOpen(true);
    EXPECT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error.contains("COM200")) << opened.error.toStdString();
    EXPECT_FALSE(port.portOpen());
    EXPECT_FALSE(port.setCommPort(0).ok());
}

TEST_F(QtSerialPortOnPty, AVanishedOtherEndClosesThePort)
{
    pty.closeMaster();
    for (int i = 0; i < 2000 && port.portOpen(); ++i) {
        pump();
        usleep(1000);
    }
    EXPECT_FALSE(port.portOpen());
    EXPECT_TRUE(events.contains(comEventPortLost));
    EXPECT_FALSE(port.output("x").ok());
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
