#include "host/control_session.h"

namespace dravilo {

namespace {

// What one client may leave unread before it is read from no more.
constexpr qint64 kMostUnsent = 65536;
constexpr qint64 kReadPiece = 4096;

}  // namespace

std::optional<LineSplitter::Line> LineSplitter::take()
{
    for (;;) {
        const qsizetype end = buffer_.indexOf('\n');
        if (skipping_) {
            if (end < 0) {
                buffer_.clear();
                return std::nullopt;
            }
            buffer_.remove(0, end + 1);
            skipping_ = false;
            continue;
        }
        if (end < 0) {
            if (buffer_.size() <= kLongest)
                return std::nullopt;
            buffer_.clear();
            skipping_ = true;
            return Line{{}, true};
        }
        QByteArray text = buffer_.left(end);
        buffer_.remove(0, end + 1);
        if (text.size() > kLongest)
            return Line{{}, true};
        if (text.endsWith('\r'))
            text.chop(1);
        return Line{text};
    }
}

ControlSession::ControlSession(std::unique_ptr<ControlStream> stream, Run run)
    : stream_(std::move(stream)), run_(std::move(run))
{
}

void ControlSession::start(std::function<void()> ended)
{
    ended_ = std::move(ended);
    stream_->changed = [this] { pump(); };
    // From the event loop on: the program may still be starting.
    stream_->setReading(true);
}

void ControlSession::pump()
{
    if (pumping_ || over_)
        return;  // an answer given at once, inside the loop below
    pumping_ = true;
    bool drained = false;  // every whole line read has been run
    while (!waiting_ && !stream_->broken() && stream_->unsent() < kMostUnsent) {
        if (const std::optional<LineSplitter::Line> line = lines_.take()) {
            runLine(*line);
            continue;
        }
        const QByteArray more = stream_->read(kReadPiece);
        if (more.isEmpty()) {
            drained = true;
            break;
        }
        lines_.feed(more);
    }
    pumping_ = false;
    const bool done = drained && stream_->inputEnded() && stream_->unsent() == 0;
    if (stream_->broken() || done) {
        over_ = true;  // a half line left at the end goes with the client
        stream_->setReading(false);
        ended_();
        return;
    }
    stream_->setReading(!waiting_ && stream_->unsent() < kMostUnsent && !stream_->inputEnded());
}

void ControlSession::runLine(const LineSplitter::Line& line)
{
    waiting_ = true;
    if (line.tooLong) {
        answered(QStringLiteral("error: line longer than %1 bytes").arg(LineSplitter::kLongest));
        return;
    }
    // The answer may come after this session has gone.
    std::weak_ptr<ControlSession> self = weak_from_this();
    run_(QString::fromUtf8(line.text), [self](const QString& answer) {
        if (const std::shared_ptr<ControlSession> session = self.lock())
            session->answered(answer);
    });
}

void ControlSession::answered(const QString& answer)
{
    if (over_)
        return;
    waiting_ = false;
    stream_->write(answer.toUtf8() + '\n');
    pump();
}

}  // namespace dravilo
