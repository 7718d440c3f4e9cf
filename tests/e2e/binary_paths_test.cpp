// The paths the binary is given for its control socket and its virtual port
// are the user's: only a socket or link that a run which is gone left there
// is replaced; anything else, or a path a live run holds, ends the new run
// with status 2 and is left exactly as it was.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "emulator_process.h"

namespace {

// What stands at a path, without following a link: its kind and content.
QString standing(const QString& path)
{
    struct stat st {};
    if (::lstat(qPrintable(path), &st) != 0)
        return "nothing";
    if (S_ISLNK(st.st_mode))
        return "link to " + QFile::symLinkTarget(path);
    QFile file(path);
    if (!S_ISREG(st.st_mode) || !file.open(QIODevice::ReadOnly))
        return QString::number(st.st_mode & S_IFMT, 8);
    return "file " + QString::fromUtf8(file.readAll());
}

struct Emulator : dravilo::test::EmulatorProcess {
    std::vector<int> waiting;  // clients it does not accept while stopped
    explicit Emulator(const QStringList& arguments) { launch(arguments); }
    ~Emulator() override
    {
        for (const int fd : waiting)
            ::close(fd);
        if (pid() > 0)  // a stopped one first hears it may go on, then its stop
            ::kill(pid(), SIGCONT);
    }
    // Until the path it was given is there and usable.
    bool serving(const QString& option, const QString& path)
    {
        for (int i = 0; i < 400; ++i, QThread::msleep(50)) {
            QLocalSocket socket;
            socket.connectToServer(path);
            if (option == "--control" ? socket.waitForConnected(200) : QFile::symLinkTarget(path).startsWith("/dev/"))
                return state() == QProcess::Running;
        }
        return false;
    }
    // Stopped (SIGSTOP), it accepts no one: its backlog fills, and a client
    // that knocks hears nothing. Still its socket is not to be taken.
    void stopWithFullBacklog(const QString& path)
    {
        ::kill(pid_t(processId()), SIGSTOP);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, qPrintable(path), sizeof address.sun_path - 1);
        for (int fd; waiting.size() < 10000; waiting.push_back(fd)) {
            fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
                ::close(fd);
                return;
            }
        }
    }
};

enum class Earlier { None, Stopped, Killed };

struct PathCase {
    const char* name;
    const char* option;
    const char* planted;  // "file", "fifo", "link", "no folder"; or nothing
    Earlier earlier;      // a run of the same option on the path before
    bool taken;
};
void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

class BinaryPaths : public ::testing::TestWithParam<PathCase> {};

TEST_P(BinaryPaths, OnlyALeftoverOfARunThatIsGoneIsReplaced)
{
    const PathCase& c = GetParam();
    QTemporaryDir folder;
    const QString path = folder.path() + "/shared/scale";
    const QString planted = c.planted ? c.planted : "";
    if (planted != "no folder") {
        ASSERT_TRUE(QDir().mkpath(folder.path() + "/shared"));
    }
    if (planted == "file") {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the user's own notes\n");
    }
    if (planted == "fifo") {
        ASSERT_EQ(::mkfifo(qPrintable(path), 0600), 0);
    }
    if (planted == "link") {  // the user's, even one to a terminal device
        ASSERT_TRUE(QFile::link("/dev/null", path));
    }
    std::unique_ptr<Emulator> earlier;
    if (c.earlier != Earlier::None) {
        earlier = std::make_unique<Emulator>(QStringList{c.option, path});
        ASSERT_TRUE(earlier->serving(c.option, path));
        if (c.earlier == Earlier::Stopped)
            earlier->stopWithFullBacklog(path);
        else
            earlier->kill(), earlier->waitForFinished(10000);
    }
    const QString before = standing(path);

    Emulator run({c.option, path});
    if (c.taken) {
        EXPECT_TRUE(run.serving(c.option, path));
        return;
    }
    ASSERT_TRUE(run.waitForFinished(20000));
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 2);
    EXPECT_EQ(standing(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BinaryPaths,
    ::testing::Values(PathCase{"ControlOnAFile", "--control", "file", Earlier::None, false},
                      PathCase{"ControlOnAFifo", "--control", "fifo", Earlier::None, false},
                      PathCase{"ControlOnALink", "--control", "link", Earlier::None, false},
                      PathCase{"ControlOfAStoppedRun", "--control", nullptr, Earlier::Stopped, false},
                      PathCase{"ControlOfAKilledRun", "--control", nullptr, Earlier::Killed, true},
                      PathCase{"VirtualPortOnAFile", "--virtual-port", "file", Earlier::None, false},
                      PathCase{"VirtualPortOnALink", "--virtual-port", "link", Earlier::None, false},
                      PathCase{"VirtualPortInNoFolder", "--virtual-port", "no folder", Earlier::None, false},
                      PathCase{"VirtualPortOfAStoppedRun", "--virtual-port", nullptr, Earlier::Stopped, false},
                      PathCase{"VirtualPortOfAKilledRun", "--virtual-port", nullptr, Earlier::Killed, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
