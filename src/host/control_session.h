#pragma once

// One control client's conversation: its lines run one at a time and in
// order, each answered by one line. An answer that comes later (the port's
// re-configuration) holds the lines behind it. A client may leave only so
// much unread: beyond that nothing more is read from it until it reads, so
// a client that never reads costs a bounded buffer and nothing else.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/control_commands.h"

namespace dravilo {

// Splits arriving bytes into lines, a bounded piece at a time. A line longer
// than the limit is no command: it comes out once as too long, and its rest
// is skipped.
class LineSplitter {
public:
    struct Line {
        QByteArray text;  // without its end of line
        bool tooLong = false;
    };
    static constexpr qsizetype kLongest = 4096;

    void feed(const QByteArray& bytes) { buffer_ += bytes; }
    std::optional<Line> take();  // the next whole line, if there is one

private:
    QByteArray buffer_;
    bool skipping_ = false;  // the rest of a line that was too long
};

// The bytes to and from one client. Neither reading nor writing waits.
class ControlStream {
public:
    virtual ~ControlStream() = default;
    // Up to `most` bytes that have arrived; empty when there are none now.
    virtual QByteArray read(qint64 most) = 0;
    virtual bool inputEnded() const = 0;  // the client sends nothing more
    // Whether the stream should watch for input; `changed` runs when some comes.
    virtual void setReading(bool on) = 0;
    virtual void write(const QByteArray& bytes) = 0;  // sent as the client takes it
    virtual qint64 unsent() const = 0;
    virtual bool broken() const = 0;  // the client can take no more answers

    // Input arrived or ended, or some answer was taken.
    std::function<void()> changed;
};

class ControlSession : public std::enable_shared_from_this<ControlSession> {
public:
    using Run = std::function<void(const QString& line, const ControlAnswer& answer)>;
    ControlSession(std::unique_ptr<ControlStream> stream, Run run);
    // Reads from the next turn of the event loop on. `ended` runs once, when
    // every line read is answered and the client has stopped sending, or
    // when it can take no more.
    void start(std::function<void()> ended);

private:
    void pump();
    void runLine(const LineSplitter::Line& line);
    void answered(const QString& answer);

    std::unique_ptr<ControlStream> stream_;
    Run run_;
    std::function<void()> ended_;
    LineSplitter lines_;
    bool waiting_ = false;  // for the answer to the line run last
    bool pumping_ = false;
    bool over_ = false;
};

}  // namespace dravilo
