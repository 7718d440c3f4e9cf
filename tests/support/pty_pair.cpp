#include "pty_pair.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace dravilo::test {

namespace {

void makeRaw(int fd)
{
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
}

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

PtyPair::PtyPair()
{
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    makeRaw(master_);
    makeRaw(slave_);
    // Not inherited by an emulator started later: a child holding the master
    // would keep the line up after the host closed it.
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    slavePath_ = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    closeMaster();
    if (slave_ >= 0)
        ::close(slave_);
}

void PtyPair::write(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            throw std::runtime_error("write to the pseudo-terminal failed");
        done += n;
    }
}

QByteArray PtyPair::read(int n, int timeoutMs, const std::function<void()>& idle)
{
    QByteArray got;
    const std::int64_t end = nowMs() + timeoutMs;
    while (got.size() < n) {
        const std::int64_t left = end - nowMs();
        if (left <= 0)
            break;
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, idle ? 1 : int(left));
        if (ready > 0 && (p.revents & POLLIN)) {
            char buffer[4096];
            const ssize_t r = ::read(master_, buffer, std::min<size_t>(sizeof buffer, size_t(n - got.size())));
            if (r <= 0)
                break;
            got.append(buffer, r);
        } else if (idle) {
            idle();
        }
    }
    return got;
}

QByteArray PtyPair::readFor(int ms, const std::function<void()>& idle)
{
    return read(1 << 30, ms, idle);
}

void PtyPair::closeMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void LinkPort(const QString& programFiles, int number, const PtyPair& pty)
{
    const QString ports = programFiles + "/Dravilo v.2.00/ports";
    QDir().mkpath(ports);
    const QString link = ports + QStringLiteral("/COM%1").arg(number);
    QFile::remove(link);
    if (!QFile::link(pty.slavePath(), link))
        throw std::runtime_error("cannot link the port");
}

}  // namespace dravilo::test
