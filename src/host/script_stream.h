#pragma once

// A scenario file as one more control client: its commands, blank lines and
// "#" comments aside, run one after another, each answer written to standard
// output after the number of its line. A command that answers later, such as
// "sleep", holds the lines behind it as it would on the channel.

#include <QObject>
#include <deque>
#include <memory>

#include "host/control_session.h"

namespace dravilo {

class ScriptStream : public ControlStream {
public:
    // Nothing, with the reason, when the file cannot be read.
    static std::unique_ptr<ScriptStream> open(const QString& path, QString& error);

    QByteArray read(qint64 most) override;
    bool inputEnded() const override { return unread_.isEmpty(); }
    void setReading(bool on) override;
    void write(const QByteArray& bytes) override;
    qint64 unsent() const override { return out_->unsent(); }
    bool broken() const override { return false; }  // answers nobody takes are dropped

private:
    ScriptStream(QByteArray commands, std::deque<int> lineNumbers);

    QByteArray unread_;            // the commands not read yet, a line each
    std::deque<int> lineNumbers_;  // of the commands read and not answered yet
    std::unique_ptr<ControlStream> out_;  // standard output
    QObject lifetime_;             // a call queued for the stream ends with it
    bool saidBroken_ = false;
};

}  // namespace dravilo
