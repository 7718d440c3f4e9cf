#pragma once

#include <QSocketNotifier>
#include <QWidget>
#include <memory>

namespace dravilo {

// SIGTERM, SIGINT and SIGHUP close the window as a person would: the
// shutdown runs (port released, settings saved), the last window is gone and
// the event loop ends with status 0. A signal handler may do almost nothing,
// so it only writes a byte into a socket pair; the event loop reads it and
// closes the window. Where these signals do not exist, this does nothing.
class CloseOnStopSignals {
public:
    explicit CloseOnStopSignals(QWidget& window);
    ~CloseOnStopSignals();
    CloseOnStopSignals(const CloseOnStopSignals&) = delete;
    CloseOnStopSignals& operator=(const CloseOnStopSignals&) = delete;

private:
    int wake_[2] = {-1, -1};  // the handler writes to [1], the event loop reads [0]
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace dravilo
