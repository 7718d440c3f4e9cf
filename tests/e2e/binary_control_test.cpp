// The real binary driven from a test suite: a control socket for the test, a
// virtual port of its own for the host, and the line faults seen by the host.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "test_program.h"

using namespace dravilo::test;

namespace {

// The emulator opens its socket once it is up: tries for up to 20 s.
bool connectTo(QLocalSocket& socket, const QString& path)
{
    for (int i = 0; i < 200; ++i) {
        socket.connectToServer(path);
        if (socket.waitForConnected(100))
            return true;
        QThread::msleep(100);
    }
    return false;
}

// Headless, with its program folder under `programFiles`.
QProcessEnvironment emulatorEnvironment(const QString& programFiles)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ProgramFiles", programFiles);
    return env;
}

class ControlledBinary : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString port = folder.path() + "/scale";
    QString socketPath = folder.path() + "/control";
    QProcess emulator;
    QLocalSocket control;
    int host = -1;

    void start(const QStringList& arguments)
    {
        emulator.setProcessEnvironment(emulatorEnvironment(folder.path()));
        emulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        emulator.start(DRAVILO_BINARY, arguments);
        ASSERT_TRUE(emulator.waitForStarted(10000));
    }
    void SetUp() override
    {
        start({"--virtual-port", port, "--control", socketPath});
        ASSERT_TRUE(connectTo(control, socketPath));
        host = ::open(qPrintable(port), O_RDWR | O_NOCTTY);
        ASSERT_GE(host, 0) << "no virtual port at " << port.toStdString();
        termios t{};
        tcgetattr(host, &t);
        cfmakeraw(&t);
        tcsetattr(host, TCSANOW, &t);
    }
    void TearDown() override
    {
        if (host >= 0)
            ::close(host);
        if (emulator.state() != QProcess::NotRunning) {
            emulator.terminate();
            emulator.waitForFinished(10000);
        }
    }
    QString command(const QByteArray& line)
    {
        control.write(line + "\n");
        control.waitForBytesWritten(5000);
        while (!control.canReadLine() && control.waitForReadyRead(10000)) {
        }
        return QString::fromUtf8(control.readLine()).chopped(1);
    }
    // Whatever the host receives within ms.
    QByteArray hostReads(int ms)
    {
        QByteArray got;
        for (;;) {
            pollfd p{host, POLLIN, 0};
            if (::poll(&p, 1, ms) <= 0)
                return got;
            char buffer[4096];
            const ssize_t n = ::read(host, buffer, sizeof buffer);
            if (n <= 0)
                return got;
            got.append(buffer, n);
            ms = 100;  // the rest of a reply follows at once
        }
    }
    QByteArray ask(const QByteArray& request, int ms = 1000)
    {
        [[maybe_unused]] const ssize_t n = ::write(host, request.constData(), size_t(request.size()));
        return hostReads(ms);
    }
};

const QByteArray kFrame125 = bytes({5, 2, 1, 0, 0, 0, 4, 2, 0, 1, 0, 0, 0, 0, 8, 2, 1, 0, 0x0D, 0x0A});

}  // namespace

TEST_F(ControlledBinary, ALoadPutOnByTheChannelIsWhatTheHostReads)
{
    EXPECT_EQ(command("sway 0 0"), "ok");
    EXPECT_EQ(command("weight1 12.5"), "ok");
    EXPECT_EQ(command("press weight1"), "ok");
    EXPECT_EQ(ask(bytes({0x0A})), kFrame125);
    EXPECT_EQ(command("display"), "00012.5 0010.24 0128.00");
    EXPECT_EQ(command("flag s1 d4 on"), "ok");
    EXPECT_EQ(ask(bytes({0x0E})), bytes({0x10, 0x09, 0x0D, 0x0A}));
    EXPECT_EQ(command("type zelm1"), "ok");
    EXPECT_TRUE(hostReads(500).contains("WW00000.0kg\r\n"));
    EXPECT_EQ(QFileInfo(socketPath).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup),
              QFile::Permissions());
}

TEST_F(ControlledBinary, EachFaultIsSeenOnTheLine)
{
    command("sway 0 0");
    command("weight1 12.5");
    command("press weight1");
    ASSERT_EQ(ask(bytes({0x0A})), kFrame125);

    command("fault drop next 1");
    EXPECT_EQ(ask(bytes({0x0A}), 500), QByteArray());
    EXPECT_EQ(command("frame"), "05 02 01 00 00 00 04 02 00 01 00 00 00 00 08 02 01 00 0D 0A");
    command("fault delay 400 next 1");
    EXPECT_EQ(ask(bytes({0x0A}), 200), QByteArray());
    EXPECT_EQ(hostReads(2000), kFrame125);
    command("fault corrupt next 1");
    const QByteArray corrupt = ask(bytes({0x0A}));
    EXPECT_EQ(corrupt.size(), 20);
    EXPECT_NE(corrupt, kFrame125);
    command("fault cut next 1");
    const QByteArray cut = ask(bytes({0x0A}));
    EXPECT_LT(cut.size(), 20);
    EXPECT_EQ(cut, kFrame125.left(cut.size()));
    command("fault noise next 1");
    const QByteArray noisy = ask(bytes({0x0A}));
    EXPECT_GT(noisy.size(), 20);
    EXPECT_TRUE(noisy.endsWith(kFrame125));
    EXPECT_EQ(ask(bytes({0x0A})), kFrame125);  // the counted faults are over
}

TEST_F(ControlledBinary, BadInputGetsAnErrorAndTheEmulatorGoesOn)
{
    const struct {
        QByteArray line;
        const char* answer;
    } cases[] = {
        {"frobnicate", "error: unknown command frobnicate"},
        {"press weight1 now", "error: usage: press weight1|weight2|takeoff: presses Weight 1, Weight 2 or Take off"},
        {"get Text99(7)", "error: no control named Text99(7)"},
        {QByteArray(1 << 20, 'x'), "error: line longer than 4096 bytes"},
        {QByteArray("\xFF\x00\x01\xFE", 4), "error: unknown command \xEF\xBF\xBD\\x00\\x01\xEF\xBF\xBD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(command(c.line), QString::fromUtf8(c.answer));

    // A client that goes away mid-line takes its half line with it.
    QLocalSocket other;
    ASSERT_TRUE(connectTo(other, socketPath));
    other.write("weight1 99");
    other.waitForBytesWritten(5000);
    other.disconnectFromServer();
    EXPECT_EQ(command("get Text9(0)"), "11.1");
    EXPECT_EQ(ask(bytes({0x0E})), bytes({0x00, 0x09, 0x0D, 0x0A}));
}

TEST_F(ControlledBinary, ALiveSocketIsNotTakenAndTheLinkGoesAtExit)
{
    QProcess second;
    second.setProcessEnvironment(emulatorEnvironment(folder.path() + "/other"));
    second.start(DRAVILO_BINARY, {"--control", socketPath});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_NE(second.exitCode(), 0);
    EXPECT_EQ(command("language"), "eng");  // still the first emulator's socket

    emulator.terminate();
    ASSERT_TRUE(emulator.waitForFinished(10000));
    EXPECT_EQ(emulator.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(port).isSymLink());
}

TEST(ControlledBinaryStale, AStaleSocketIsReplacedAndStandardInputWorksToo)
{
    QTemporaryDir folder;
    const QString socketPath = folder.path() + "/control";
    {  // a socket file with no emulator behind it, as a killed run leaves it
        QProcess killed;
        killed.setProcessEnvironment(emulatorEnvironment(folder.path()));
        killed.start(DRAVILO_BINARY, {"--control", socketPath});
        for (int i = 0; i < 200 && !QFileInfo::exists(socketPath); ++i)
            QThread::msleep(100);
        killed.kill();
        killed.waitForFinished(10000);
        ASSERT_TRUE(QFileInfo::exists(socketPath));
    }
    QProcess emulator;
    const QProcessEnvironment env = emulatorEnvironment(folder.path());
    emulator.setProcessEnvironment(env);
    emulator.start(DRAVILO_BINARY, {"--control", socketPath});
    QLocalSocket control;
    EXPECT_TRUE(connectTo(control, socketPath));
    emulator.terminate();
    emulator.waitForFinished(10000);

    QProcess piped;
    piped.setProcessEnvironment(env);
    piped.start(DRAVILO_BINARY, {"--control", "-"});
    ASSERT_TRUE(piped.waitForStarted(10000));
    piped.write("weight2 3\nget Text2(1)\n");
    QByteArray out;
    while (out.count('\n') < 2 && piped.waitForReadyRead(20000))
        out += piped.readAllStandardOutput();
    EXPECT_EQ(out, "ok\n00003.0\n");
    piped.terminate();
    EXPECT_TRUE(piped.waitForFinished(10000));
}
