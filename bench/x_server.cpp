#include "x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace dravilo::test {

namespace {

// Xvfb writes the display number and a new line once it takes clients.
QString readDisplay(int fd)
{
    QByteArray number;
    pollfd ready{fd, POLLIN, 0};
    char c;
    while (::poll(&ready, 1, 10000) == 1 && ::read(fd, &c, 1) == 1 && c != '\n')
        number += c;
    return number.isEmpty() ? QString() : ":" + QString::fromLatin1(number);
}

}  // namespace

XServer::XServer(const QString& program)
{
    int ends[2];
    if (::pipe(ends) != 0)
        throw std::runtime_error("no pipe for Xvfb's display number");
    ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);  // only the writing end is Xvfb's
    setStandardOutputFile(nullDevice());
    setStandardErrorFile(nullDevice());
    start(program, {"-displayfd", QString::number(ends[1]), "-screen", "0", "1366x768x24", "-nolisten", "tcp"});
    const bool started = waitForStarted(10000);
    ::close(ends[1]);
    display_ = started ? readDisplay(ends[0]) : QString();
    ::close(ends[0]);
    if (display_.isEmpty()) {
        stop();
        throw std::runtime_error("Xvfb did not start");
    }
}

XServer::~XServer() { stop(); }

QProcessEnvironment XServer::environmentFor(const QProcess& emulator) const
{
    QProcessEnvironment environment = emulator.processEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", display_);
    return environment;
}

void XServer::stop()
{
    terminate();
    if (!waitForFinished(10000))
        kill();
    waitForFinished(5000);
}

}  // namespace dravilo::test
