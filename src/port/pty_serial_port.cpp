#include "port/pty_serial_port.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace dravilo {

namespace {

// The same bounds as the real port: a host that stops reading, or a host
// that floods a terminal that reads nothing, must not grow them without end.
constexpr qsizetype kMostWaitingOutput = 4096;
constexpr qsizetype kReceiveBufferSize = 65536;

}  // namespace

#ifdef Q_OS_UNIX

std::unique_ptr<PtySerialPort> PtySerialPort::create(const QString& link, QString& error)
{
    const QFileInfo existing(link);
    if (existing.exists() && !existing.isSymLink()) {
        error = QStringLiteral("%1 is there and is no link; it is left alone").arg(link);
        return nullptr;
    }
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = QStringLiteral("no pseudo-terminal: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (master >= 0)
            ::close(master);
        return nullptr;
    }
    const QString slavePath = QString::fromLocal8Bit(::ptsname(master));
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    // Raw until the host sets its own mode: no echo of the frames back into the
    // terminal, no line editing of the requests.
    termios mode{};
    if (slave < 0 || ::tcgetattr(slave, &mode) != 0 || (::cfmakeraw(&mode), ::tcsetattr(slave, TCSANOW, &mode)) != 0) {
        error = QStringLiteral("%1: %2").arg(slavePath, QString::fromLocal8Bit(std::strerror(errno)));
        ::close(master);
        if (slave >= 0)
            ::close(slave);
        return nullptr;
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    QFile::remove(link);  // a link left by a run that was killed
    if (!QFile::link(slavePath, link)) {
        error = QStringLiteral("cannot link %1 to %2").arg(link, slavePath);
        ::close(master);
        ::close(slave);
        return nullptr;
    }
    return std::unique_ptr<PtySerialPort>(new PtySerialPort(master, slave, slavePath, link));
}

PtySerialPort::PtySerialPort(int master, int slave, QString slavePath, QString link)
    : master_(master),
      slave_(slave),
      slavePath_(std::move(slavePath)),
      link_(std::move(link)),
      readable_(master, QSocketNotifier::Read),
      writable_(master, QSocketNotifier::Write)
{
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    QObject::connect(&readable_, &QSocketNotifier::activated, [this] { readArrived(); });
    QObject::connect(&writable_, &QSocketNotifier::activated, [this] { writeWaiting(); });
}

PtySerialPort::~PtySerialPort()
{
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    if (QFileInfo(link_).symLinkTarget() == slavePath_)
        QFile::remove(link_);
    ::close(master_);
    ::close(slave_);
}

void PtySerialPort::readArrived()
{
    char buffer[4096];
    bool any = false;
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        received_.append(buffer, std::min<qsizetype>(n, std::max<qsizetype>(0, kReceiveBufferSize - received_.size())));
        any = true;
    }
    if (any && onComm)
        onComm();
}

void PtySerialPort::writeWaiting()
{
    while (!waiting_.isEmpty()) {
        const ssize_t n = ::write(master_, waiting_.constData(), size_t(waiting_.size()));
        if (n <= 0)
            break;
        waiting_.remove(0, n);
    }
    writable_.setEnabled(!waiting_.isEmpty());
}

PortResult PtySerialPort::setPortOpen(bool open)
{
    if (open && open_)
        return {QStringLiteral("Port already open")};
    open_ = open;
    received_.clear();
    waiting_.clear();
    if (open) {  // what a host sent while the port was closed is not for this opening
        char buffer[4096];
        while (::read(master_, buffer, sizeof buffer) > 0) {
        }
    }
    readable_.setEnabled(open);
    writable_.setEnabled(false);
    return {};
}

#else

std::unique_ptr<PtySerialPort> PtySerialPort::create(const QString&, QString& error)
{
    error = QStringLiteral("this system has no pseudo-terminals; the configured port is used");
    return nullptr;
}

PtySerialPort::~PtySerialPort() = default;
void PtySerialPort::readArrived() {}
void PtySerialPort::writeWaiting() {}
PortResult PtySerialPort::setPortOpen(bool) { return {QStringLiteral("no pseudo-terminal")}; }

#endif

PortResult PtySerialPort::setCommPort(int number)
{
    if (open_)
        return NotWhileOpen();
    if (!IsPortNumber(number))
        return {QStringLiteral("Invalid port number")};
    number_ = number;
    return {};
}

PortResult PtySerialPort::setSettings(const QString& text)
{
    if (open_)
        return NotWhileOpen();
    const std::optional<LineSettings> parsed = ParseLineSettings(text);
    if (!parsed)
        return InvalidSetting(text);
    settings_ = *parsed;
    return {};
}

PortResult PtySerialPort::output(const QByteArray& bytes)
{
    if (!open_)
        return NotWhileClosed();
    if (waiting_.size() + bytes.size() > kMostWaitingOutput)
        return {QStringLiteral("Output buffer full")};
    waiting_ += bytes;
    writeWaiting();  // on the line now, not when the event loop next turns
    return {};
}

QByteArray PtySerialPort::input() { return std::exchange(received_, {}); }

}  // namespace dravilo
