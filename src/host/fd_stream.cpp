#include "host/fd_stream.h"

#include "host/stdio_stream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <poll.h>
#include <unistd.h>

namespace dravilo {

namespace {

bool ready(int fd, short events)
{
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, 0) > 0;
}

bool wouldWait(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

FdStream::FdStream(int in, int out, bool owned)
    : in_(in), out_(out), owned_(owned), readable_(in, QSocketNotifier::Read), writable_(out, QSocketNotifier::Write)
{
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    QObject::connect(&readable_, &QSocketNotifier::activated, [this] {
        if (changed)
            changed();
    });
    QObject::connect(&writable_, &QSocketNotifier::activated, [this] {
        flush();
        if (changed)
            changed();
    });
}

FdStream::~FdStream()
{
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    if (!owned_)
        return;
    ::close(in_);
    if (out_ != in_)
        ::close(out_);
}

QByteArray FdStream::read(qint64 most)
{
    // Standard input may be a descriptor that blocks: it is read only when
    // something is there.
    if (inputEnded_ || !ready(in_, POLLIN))
        return {};
    QByteArray bytes(most, Qt::Uninitialized);
    const ssize_t n = ::read(in_, bytes.data(), size_t(most));
    if (n > 0)
        return bytes.left(n);
    if (n == 0 || !wouldWait(errno)) {
        inputEnded_ = true;
        readable_.setEnabled(false);
    }
    return {};
}

void FdStream::write(const QByteArray& bytes)
{
    if (broken_)
        return;
    unsent_ += bytes;
    flush();
}

void FdStream::flush()
{
    // A writable pipe takes PIPE_BUF bytes without waiting, even where the
    // descriptor itself would block (standard output is shared, so it is not
    // switched to non-blocking behind the back of whoever else writes it).
    while (!unsent_.isEmpty() && ready(out_, POLLOUT)) {
        const ssize_t n = ::write(out_, unsent_.constData(), size_t(std::min<qsizetype>(unsent_.size(), PIPE_BUF)));
        if (n > 0) {
            unsent_.remove(0, n);
            continue;
        }
        if (n < 0 && wouldWait(errno))
            break;
        broken_ = true;  // the reader has gone
        unsent_.clear();
        readable_.setEnabled(false);
        break;
    }
    writable_.setEnabled(!broken_ && !unsent_.isEmpty());
}

std::unique_ptr<ControlStream> MakeStdioStream(bool reads)
{
    // Standard input is there either way; a stream that does not read never watches it.
    Q_UNUSED(reads);
    return std::make_unique<FdStream>(STDIN_FILENO, STDOUT_FILENO, false);
}

}  // namespace dravilo
