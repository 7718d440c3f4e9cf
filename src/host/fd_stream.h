#pragma once

// A control client on file descriptors: a connected socket, or standard
// input and output. Nothing waits: a read takes only what has arrived, and
// answers are written only as far as the other end takes them, so a client
// that stops reading never stops the event loop. A reader that is gone
// breaks the stream, never the program.

#include <QByteArray>
#include <QSocketNotifier>
#include <memory>

#include "host/control_session.h"

namespace dravilo {

class FdStream : public ControlStream {
public:
    // Closes the descriptors at the end when it owns them.
    FdStream(int in, int out, bool owned);
    ~FdStream() override;
    FdStream(const FdStream&) = delete;
    FdStream& operator=(const FdStream&) = delete;

    QByteArray read(qint64 most) override;
    bool inputEnded() const override { return inputEnded_; }
    void setReading(bool on) override { readable_.setEnabled(on && !inputEnded_); }
    void write(const QByteArray& bytes) override;
    qint64 unsent() const override { return unsent_.size(); }
    bool broken() const override { return broken_; }

private:
    void flush();

    int in_;
    int out_;
    bool owned_;
    QSocketNotifier readable_;
    QSocketNotifier writable_;
    QByteArray unsent_;
    bool inputEnded_ = false;
    bool broken_ = false;
};

}  // namespace dravilo
