#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace dravilo {

// SIGTERM, SIGINT and SIGHUP run `stop` on the event loop, which closes the
// window as a person would. A signal handler may do almost nothing, so it
// only writes a byte into a socket pair; the event loop reads it and stops.
// SIGPIPE is ignored: a reader that has gone is told by the write that failed.
// On Windows the console's Ctrl-C, Ctrl-Break, its closing, a log-off and a
// shutdown do the same, through the console's control handler.
class CloseOnStopSignals {
public:
    // Takes the signals at once, before there is anything a stop would have
    // to undo; a signal that comes before `connect` waits for it.
    CloseOnStopSignals();
    ~CloseOnStopSignals();
    // Needs the event loop's application object.
    void connect(std::function<void()> stop);
    CloseOnStopSignals(const CloseOnStopSignals&) = delete;
    CloseOnStopSignals& operator=(const CloseOnStopSignals&) = delete;

private:
    int wake_[2] = {-1, -1};  // the handler writes to [1], the event loop reads [0]
    std::unique_ptr<QObject> notifier_;  // of the event loop: a socket notifier, or a Windows event's
};

}  // namespace dravilo
