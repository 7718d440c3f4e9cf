// The real binary driven from a test suite: a control socket for the test, a
// virtual port of its own for the host, and the line faults seen by the host.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include "emulator_process.h"
#include "process_usage.h"
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

// A raw client of the control socket, for what QLocalSocket does not do.
int rawClient(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, qPrintable(path), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A host that opens the line, raw.
int openHost(const QString& path)
{
    const int fd = ::open(qPrintable(path), O_RDWR | O_NOCTTY);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

// What arrives within ms, or until the other end closes.
QByteArray readFor(int fd, int ms)
{
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    pollfd p{fd, POLLIN, 0};
    char buffer[4096];
    ssize_t n = 0;
    while (::poll(&p, 1, int(std::max<qint64>(0, ms - clock.elapsed()))) > 0 &&
           (n = ::read(fd, buffer, sizeof buffer)) > 0)
        got.append(buffer, n);
    return got;
}

class ControlledBinary : public ::testing::Test {
protected:
    EmulatorProcess emulator;
    QString port = emulator.programFiles() + "/scale";
    QString socketPath = emulator.programFiles() + "/control";
    QString logPath = emulator.programFiles() + "/traffic.log";
    QLocalSocket control;
    int host = -1;

    // Headless, where no window could be: a platform plugin that needs a display, and none.
    void start(const QStringList& arguments)
    {
        QProcessEnvironment env = emulator.processEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        emulator.setProcessEnvironment(env);
        emulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        emulator.launch(QStringList{"--headless"} + arguments);
    }
    void SetUp() override
    {
        start({"--virtual-port", port, "--control", socketPath, "--log", logPath});
        ASSERT_TRUE(connectTo(control, socketPath));
        host = openHost(port);
        ASSERT_GE(host, 0) << "no virtual port at " << port.toStdString();
    }
    void TearDown() override
    {
        if (host >= 0)
            ::close(host);
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
    // Headless, the send lamp's timer ticks only when somebody looks; looked
    // at, the lamp is lit at each line and dark between them.
    QSet<QString> lamp;
    for (int i = 0; i < 60; ++i, QThread::msleep(10))
        lamp << command("indicators").section("lamp=", 1);
    EXPECT_EQ(lamp, (QSet<QString>{"red", "dark"}));
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
    EmulatorProcess second;
    second.launch({"--control", socketPath});
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
        EmulatorProcess killed;
        killed.launch({"--control", socketPath});
        for (int i = 0; i < 200 && !QFileInfo::exists(socketPath); ++i)
            QThread::msleep(100);
        killed.kill();
        killed.waitForFinished(10000);
        ASSERT_TRUE(QFileInfo::exists(socketPath));
    }
    EmulatorProcess emulator;
    emulator.launch({"--control", socketPath});
    QLocalSocket control;
    EXPECT_TRUE(connectTo(control, socketPath));
    emulator.terminate();
    emulator.waitForFinished(10000);

    EmulatorProcess piped;
    piped.launch({"--control", "-"});
    piped.write("weight2 3\nget Text2(1)\n");
    QByteArray out;
    while (out.count('\n') < 2 && piped.waitForReadyRead(20000))
        out += piped.readAllStandardOutput();
    EXPECT_EQ(out, "ok\n00003.0\n");
    piped.terminate();
    EXPECT_TRUE(piped.waitForFinished(10000));
}

TEST_F(ControlledBinary, ClientsThatMisbehaveCostTheOthersNothing)
{
    // Sends its commands and shuts its writing side, as "nc -U -N" does.
    const int halfClosed = rawClient(socketPath);
    ASSERT_GE(halfClosed, 0);
    ASSERT_EQ(::write(halfClosed, "status\nlanguage\n", 16), 16);
    ::shutdown(halfClosed, SHUT_WR);
    EXPECT_EQ(readFor(halfClosed, 10000), "S1=00000000 S2=00001001\neng\n");
    ::close(halfClosed);

    // Asks for "help" without end and never reads an answer.
    const double before = ProcessResidentMb(pid_t(emulator.processId()));
    const int flooding = rawClient(socketPath);
    ASSERT_GE(flooding, 0);
    ::fcntl(flooding, F_SETFL, O_NONBLOCK);
    const QByteArray helps = QByteArray("help\n").repeated(1000);
    for (int i = 0; i < 300; ++i)
        if (::write(flooding, helps.constData(), size_t(helps.size())) < 0)
            QThread::msleep(10);
    EXPECT_EQ(command("language"), "eng");
    EXPECT_EQ(ask(bytes({0x0E})), bytes({0x00, 0x09, 0x0D, 0x0A}));
    EXPECT_LT(ProcessResidentMb(pid_t(emulator.processId())) - before, 20);
    ::close(flooding);
}

TEST_F(ControlledBinary, AHostFindsNothingLeftFromBeforeItCame)
{
    ::close(host);
    // Asks and goes at once: the reply is for nobody.
    const int leaving = openHost(port);
    ASSERT_EQ(::write(leaving, "\x0A", 1), 1);
    ::close(leaving);
    QThread::msleep(300);
    // ZELM-1 lines sent while no host had the line.
    command("period 10");
    command("type zelm1");
    QThread::msleep(1000);
    host = openHost(port);
    const QByteArray first = readFor(host, 100);
    EXPECT_FALSE(first.startsWith(QByteArray(1, 0))) << "a ZELM-2 reply left for another host";
    EXPECT_LT(first.count("kg\r\n"), 20) << "a second of lines kept for nobody";
}

// The program's own stop, however soon after its start the signal comes.
TEST(ControlledBinaryStop, AStopSignalAsSoonAsThePathsAreThereRemovesThem)
{
    for (int round = 0; round < 3; ++round) {
        EmulatorProcess emulator;
        const QString port = emulator.programFiles() + "/scale";
        emulator.launch({"--virtual-port", port});
        while (!QFileInfo(port).isSymLink() && emulator.state() == QProcess::Running)
            QThread::usleep(200);
        ::kill(pid_t(emulator.processId()), SIGTERM);
        ASSERT_TRUE(emulator.waitForFinished(10000));
        EXPECT_EQ(emulator.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(emulator.exitCode(), 0);
        EXPECT_FALSE(QFileInfo(port).isSymLink());
    }
}

// Standard output whose reader has gone, or never reads: the channel ends or
// waits; the terminal serves on and stops when told.
TEST(ControlledBinaryStop, StandardOutputGoneOrFullStopsOnlyTheChannel)
{
    for (const bool gone : {true, false}) {
        EmulatorProcess emulator;
        const QString port = emulator.programFiles() + "/scale";
        const QString fifo = emulator.programFiles() + "/answers";
        ASSERT_EQ(::mkfifo(qPrintable(fifo), 0600), 0);
        const int neverRead = ::open(qPrintable(fifo), O_RDONLY | O_NONBLOCK);
        if (!gone)
            emulator.setStandardOutputFile(fifo);
        emulator.launch({"--virtual-port", port, "--control", "-"});
        if (gone)
            emulator.closeReadChannel(QProcess::StandardOutput);
        for (int i = 0; i < 2000; ++i)
            emulator.write("help\n");
        emulator.waitForBytesWritten(1000);

        int host = -1;
        for (int i = 0; i < 200 && host < 0; ++i, QThread::msleep(50))
            host = QFileInfo(port).isSymLink() ? openHost(port) : -1;
        QByteArray status;  // asked again until the port has opened
        for (int i = 0; i < 100 && status.isEmpty() && ::write(host, "\x0E", 1) == 1; ++i)
            status = readFor(host, 200);
        EXPECT_EQ(status, bytes({0x00, 0x09, 0x0D, 0x0A})) << (gone ? "gone" : "full");
        ::close(host);
        ::kill(pid_t(emulator.processId()), SIGTERM);
        ASSERT_TRUE(emulator.waitForFinished(10000));
        EXPECT_EQ(emulator.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(emulator.exitCode(), 0);
        EXPECT_FALSE(QFileInfo(port).isSymLink());
        ::close(neverRead);
    }
}

TEST_F(ControlledBinary, TheLogHoldsEveryEventAsItHappens)
{
    EXPECT_EQ(ask(bytes({0x0E})), bytes({0x00, 0x09, 0x0D, 0x0A}));
    EXPECT_EQ(command("language"), "eng");  // the reply's handling, its log lines included, is over
    ::kill(emulator.pid(), SIGKILL);  // nothing already logged may be lost
    emulator.waitForFinished(10000);
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(logged.contains(" program port COM2 opened: 9600,n,8,1\n")) << logged.toStdString();
    EXPECT_TRUE(logged.contains(" from-host 0E \".\" status request\n")) << logged.toStdString();
    EXPECT_TRUE(logged.endsWith(" to-host 00 09 0D 0A \"....\" status: S1=00, S2=09 (D3-point in price, D0-point in "
                                "weight)\n"))
        << logged.toStdString();
}

// A log that cannot be opened ends the start; one that stops taking lines
// (here: no file may grow past 12 KB) is said once, and the line goes on.
TEST(ControlledBinaryLog, ALogThatFailsNeverStopsTheTerminal)
{
    EmulatorProcess refused;
    refused.launch({"--headless", "--log", refused.programFiles() + "/no/such/folder/log"});
    ASSERT_TRUE(refused.waitForFinished(20000));
    EXPECT_EQ(refused.exitCode(), 2);

    EmulatorProcess full;
    full.setChildProcessModifier([] {
        const rlimit limit{12000, 12000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    });
    const QString port = full.programFiles() + "/scale";
    dravilo::SettingsRecord zelm1 = full.defaults();
    zelm1.intTerminalType = 1;
    zelm1.intSendPeriod = 1;
    full.storeSettings(dravilo::EncodeSettings(zelm1));
    // At once, not at the line's pace: a thousand lines a second on the line.
    full.launch({"--headless", "--virtual-port", port, "--line-pace", "instant", "--log", full.programFiles() + "/log"});
    QByteArray lines;
    for (int i = 0; i < 200 && lines.count('\n') < 2000; ++i, QThread::msleep(10)) {
        const int host = QFileInfo(port).isSymLink() ? openHost(port) : -1;
        if (host >= 0) {
            lines += readFor(host, 100);
            ::close(host);
        }
    }
    EXPECT_GE(lines.count('\n'), 2000);  // far more than the log took
    full.stop();
    EXPECT_EQ(QString::fromUtf8(full.readAllStandardError()).count("takes no more lines"), 1);
}

// A sleep holds the lines of its own client behind it, and no one else's.
TEST_F(ControlledBinary, ASleepHoldsOnlyItsOwnClient)
{
    const int sleeper = rawClient(socketPath);
    ASSERT_GE(sleeper, 0);
    const QByteArray lines = "sleep 1500\nlanguage\n";
    ASSERT_EQ(::write(sleeper, lines.constData(), size_t(lines.size())), lines.size());
    EXPECT_EQ(command("language"), "eng") << "another client is answered meanwhile";
    EXPECT_EQ(ask(bytes({0x0E})), bytes({0x00, 0x09, 0x0D, 0x0A})) << "and the host too";
    EXPECT_EQ(readFor(sleeper, 500), "") << "the sleeper's next line waits";
    EXPECT_EQ(readFor(sleeper, 3000), "ok\neng\n");
    ::close(sleeper);
}

// A test suite's run: a settings folder of its own made on the way, a script
// that sleeps while the terminal serves, its answers numbered by line, and
// nothing written where the user's own settings live.
TEST(ScriptedBinary, RunsInItsOwnFolderWhileTheTerminalServes)
{
    EmulatorProcess emulator;
    QTemporaryDir suite;
    const QString settingsDir = suite.filePath("run/settings");
    const QString port = suite.filePath("scale");
    const QString script = suite.filePath("scenario.txt");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# ZELM-1 after a pause\ntype zelm1\n\n  sleep 1500\nno such thing\nframe\n");
    file.close();
    emulator.launch({"--headless", "--settings-dir", settingsDir, "--virtual-port", port, "--script", script});
    const auto answered = [&emulator](const QByteArray& text, int ms) {
        QByteArray out;
        for (QElapsedTimer clock; !clock.isValid() || clock.elapsed() < ms; QThread::msleep(20)) {
            if (!clock.isValid())
                clock.start();
            emulator.waitForReadyRead(20);
            out += emulator.readAllStandardOutput();
            if (out.contains(text))
                break;
        }
        return out;
    };
    QByteArray out = answered("2: ok\n", 20000);
    ASSERT_EQ(out.toStdString(), "2: ok\n");
    const int host = openHost(port);
    ASSERT_GE(host, 0);
    EXPECT_TRUE(readFor(host, 500).contains("kg\r\n")) << "the line goes on while the script sleeps";
    ::close(host);
    out += answered("6: ", 5000);
    EXPECT_EQ(out.toStdString(), "2: ok\n4: ok\n5: error: unknown command no\n6: 57 57 30 30 30 30 30 2E 30 6B 67 0D 0A\n");
    EXPECT_EQ(emulator.state(), QProcess::Running) << "a script that ends leaves the terminal running";
    emulator.stop();
    EXPECT_TRUE(QFileInfo::exists(settingsDir + "/Dravilo v.2.00.eng"));
    EXPECT_FALSE(QFileInfo::exists(emulator.programFolder())) << "the usual program folder is left alone";

    // A settings folder that is a file, a script that is not there or has no
    // end: said, and nothing started.
    const QString aFile = suite.filePath("scale-settings");
    QFile taken(aFile);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly) && taken.write("mine") == 4);
    taken.close();
    for (const QStringList& arguments : {QStringList{"--settings-dir", aFile}, QStringList{"--script", suite.filePath("none")},
                                         QStringList{"--script", "/dev/zero"}}) {
        EmulatorProcess refused;
        refused.launch(QStringList{"--headless"} + arguments);
        ASSERT_TRUE(refused.waitForFinished(20000));
        EXPECT_EQ(refused.exitCode(), 2) << arguments.join(' ').toStdString();
    }
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), "mine");
}

// A script whose answers nobody reads any more still runs to its end, and
// ends the program where it says so: nothing after the exit runs.
TEST(ScriptedBinary, RunsToItsEndWithoutAReaderAndStopsAtTheExit)
{
    EmulatorProcess emulator;
    QTemporaryDir suite;
    const QString settingsDir = suite.filePath("settings");
    const QString script = suite.filePath("scenario.txt");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("type zelm1\nperiod 99\nclick mnu_Exit\nlanguage rus\nperiod 33\n");
    file.close();
    emulator.launch({"--headless", "--settings-dir", settingsDir, "--script", script});
    emulator.closeReadChannel(QProcess::StandardOutput);  // its reader has gone before the first answer
    ASSERT_TRUE(emulator.waitForFinished(20000)) << "the script's exit ends the program";
    EXPECT_EQ(emulator.exitCode(), 0);
    QFile saved(settingsDir + "/Dravilo v.2.00.eng");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const std::optional<dravilo::SettingsRecord> settings =
        dravilo::DecodeSettings(saved.readAll(), emulator.defaults());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->intTerminalType, 1);
    EXPECT_EQ(settings->intSendPeriod, 99);
    EXPECT_EQ(settings->intLanguage, 0) << "nothing after the exit ran";
}
