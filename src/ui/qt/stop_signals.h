#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace dravilo {

// SIGTERM, SIGINT and SIGHUP run `stop` on the event loop, which closes the
// window as a person would. A signal handler may do almost nothing, so it
// only writes a byte into a socket pair; the event loop reads it and stops.
// Where these signals do not exist, this does nothing.
class CloseOnStopSignals {
public:
    explicit CloseOnStopSignals(std::function<void()> stop);
    ~CloseOnStopSignals();
    CloseOnStopSignals(const CloseOnStopSignals&) = delete;
    CloseOnStopSignals& operator=(const CloseOnStopSignals&) = delete;

private:
    int wake_[2] = {-1, -1};  // the handler writes to [1], the event loop reads [0]
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace dravilo
