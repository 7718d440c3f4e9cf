#include "host/pty_serial_port.h"

#include "host/headless_platform.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace dravilo {

#ifdef Q_OS_UNIX

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// What the pseudo-terminal may hold that the host has not read, on top of
// the line's own output buffer: a host that stops reading meets no older
// weight than these when it reads again.
constexpr int kMostUnreadByHost = 2048;
// How many bytes go to the host between two looks at what it left unread.
constexpr int kBytesBetweenLooks = 512;

constexpr std::pair<speed_t, int> kRates[] = {
    {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
    {B200, 200},       {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},     {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600},   {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

// The host's end as the terminal's until the host sets its own: a host that
// sets nothing meets a line that agrees.
void setRate(int fd, int rate)
{
    termios mode{};
    if (::tcgetattr(fd, &mode) != 0)
        return;
    for (const auto& [speed, value] : kRates)
        if (value == rate) {
            ::cfsetispeed(&mode, speed);
            ::cfsetospeed(&mode, speed);
            ::tcsetattr(fd, TCSANOW, &mode);
        }
}

}  // namespace

std::unique_ptr<PtySerialPort> PtySerialPort::create(const QString& link, QString& error)
{
    std::unique_ptr<PathClaim> claim = PathClaim::take(link, PathClaim::Leftover::DeviceLink, error);
    if (!claim)
        return nullptr;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = QStringLiteral("no pseudo-terminal: %1").arg(systemError());
        if (master >= 0)
            ::close(master);
        return nullptr;
    }
    const QString slavePath = QString::fromLocal8Bit(::ptsname(master));
    // Raw until the host sets its own mode: no echo of the frames back into
    // the terminal, no line editing of the requests. The mode stays with the
    // line while the master is open, so the slave end is closed again: from
    // then on it is open exactly while a host has it.
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios mode{};
    const bool raw = slave >= 0 && ::tcgetattr(slave, &mode) == 0 &&
                     (::cfmakeraw(&mode), ::tcsetattr(slave, TCSANOW, &mode)) == 0;
    if (!raw)
        error = QStringLiteral("%1: %2").arg(slavePath, systemError());
    if (slave >= 0)
        ::close(slave);
    if (!error.isEmpty()) {
        ::close(master);
        return nullptr;
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<PtySerialPort>(new PtySerialPort(master, slavePath, link, std::move(claim)));
}

PtySerialPort::PtySerialPort(int master, QString slavePath, QString link, std::unique_ptr<PathClaim> claim)
    : master_(master),
      slavePath_(std::move(slavePath)),
      link_(std::move(link)),
      claim_(std::move(claim)),
      readable_(master, QSocketNotifier::Read),
      writable_(master, QSocketNotifier::Write)
{
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    QObject::connect(&readable_, &QSocketNotifier::activated, [this] { readArrived(); });
    QObject::connect(&writable_, &QSocketNotifier::activated, [this] { writeWaiting(); });
    hostWatch_.setInterval(20);
    QObject::connect(&hostWatch_, &QTimer::timeout, [this] { watchForHost(); });
}

PtySerialPort::~PtySerialPort()
{
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    const QFileInfo link(link_);
    if (link.isSymLink() && link.symLinkTarget() == slavePath_)
        QFile::remove(link_);
    ::close(master_);
}

bool PtySerialPort::hostThere() const
{
    // The master hangs up while no one has the slave end open.
    pollfd line{master_, POLLIN, 0};
    return ::poll(&line, 1, 0) >= 0 && !(line.revents & POLLHUP);
}

void PtySerialPort::hostLeft()
{
    host_ = false;
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    waiting_.clear();
    // What the host left unread is not for the next one.
    const int slave = ::open(slavePath_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave >= 0) {
        ::tcflush(slave, TCIFLUSH);
        ::close(slave);
    }
    setRate(master_, lineSettings().baudRate);
    hostWatch_.start();
}

void PtySerialPort::watchForHost()
{
    if (!hostThere()) {
        // A host that came and went between two looks left its bytes
        // behind; they are no request of the next one.
        char buffer[4096];
        while (::read(master_, buffer, sizeof buffer) > 0) {
        }
        return;
    }
    hostWatch_.stop();
    host_ = true;
    readable_.setEnabled(true);
    readArrived();
}

void PtySerialPort::readArrived()
{
    // A slice at a time: the notifier comes back for the rest once the
    // event loop has run what else is due, so a host that floods the line
    // does not starve the send timer or the control channel.
    char buffer[4096];
    bool any = false;
    for (int slice = 0; slice < 4; ++slice) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno == EIO)
                hostLeft();
            break;
        }
        keepArrived(received_, buffer, n);
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
    writable_.setEnabled(host_ && !waiting_.isEmpty());
}

PortResult PtySerialPort::setPortOpen(bool open)
{
    if (open && open_)
        return {QStringLiteral("Port already open")};
    // The link appears once the line is served, not before: a host that
    // opens it at once and asks is answered, never met by a line not yet read.
    if (open && !linked_) {
        if (!QFile::link(slavePath_, link_))
            return {QStringLiteral("cannot link %1 to %2").arg(link_, slavePath_)};
        linked_ = true;
        Say(QStringLiteral("virtual port for the host: %1 (%2)").arg(link_, slavePath_));
    }
    open_ = open;
    received_.clear();
    waiting_.clear();
    sinceLook_ = 0;
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    hostWatch_.stop();
    host_ = false;
    if (open) {  // what a host sent while the port was closed is not for this opening
        char buffer[4096];
        while (::read(master_, buffer, sizeof buffer) > 0) {
        }
        setRate(master_, lineSettings().baudRate);
        if (hostThere())
            watchForHost();
        else
            hostLeft();
    }
    return {};
}

std::optional<UartFraming> PtySerialPort::hostFraming() const
{
    // The master reads the host's end: its rate, which a pseudo-terminal
    // keeps; it carries eight bits and no parity whatever the host asks.
    termios mode{};
    if (!host_ || ::tcgetattr(master_, &mode) != 0)
        return std::nullopt;
    const speed_t speed = ::cfgetospeed(&mode);
    for (const auto& [code, rate] : kRates)
        if (code == speed)
            return UartFraming{rate, 8, u'n', 2};
    return std::nullopt;
}

bool PtySerialPort::hostIsBehind()
{
    if (sinceLook_ < kBytesBetweenLooks)
        return false;
    int unread = 0;
    const int slave = ::open(slavePath_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave >= 0) {
        ::ioctl(slave, FIONREAD, &unread);
        ::close(slave);
    }
    // Looked at again at every byte until the host has read its way back.
    if (unread < kMostUnreadByHost)
        sinceLook_ = 0;
    return unread >= kMostUnreadByHost;
}

#else

std::unique_ptr<PtySerialPort> PtySerialPort::create(const QString&, QString& error)
{
    error = QStringLiteral("this system has no pseudo-terminals");
    return nullptr;
}

PtySerialPort::~PtySerialPort() = default;
bool PtySerialPort::hostThere() const { return false; }
void PtySerialPort::hostLeft() {}
void PtySerialPort::watchForHost() {}
void PtySerialPort::readArrived() {}
void PtySerialPort::writeWaiting() {}
PortResult PtySerialPort::setPortOpen(bool) { return {QStringLiteral("no pseudo-terminal")}; }
std::optional<UartFraming> PtySerialPort::hostFraming() const { return std::nullopt; }
bool PtySerialPort::hostIsBehind() { return false; }

#endif

PortResult PtySerialPort::output(const QByteArray& bytes)
{
    if (!open_)
        return NotWhileClosed();
    if (!host_)
        return {};  // sent into a line nobody listens on
    if (waiting_.size() + bytes.size() > kMostWaitingOutput)
        return {QStringLiteral("Output buffer full")};
    if (hostIsBehind())
        return {QStringLiteral("the host is not reading")};
    sinceLook_ += int(bytes.size());
    waiting_ += bytes;
    writeWaiting();  // on the line now, not when the event loop next turns
    return {};
}

QByteArray PtySerialPort::input() { return std::exchange(received_, {}); }

}  // namespace dravilo
