#include "host/stop_signals.h"

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#include <qt_windows.h>
#endif

namespace dravilo {

#ifdef Q_OS_UNIX

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
int wakeWriteEnd = -1;

extern "C" void wakeEventLoop(int)
{
    const int saved = errno;  // the interrupted code may be about to read it
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWriteEnd, &byte, 1);
    errno = saved;
}

// Neither end may block: a full socket only means a close is already on its way.
void makeNonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

}  // namespace

CloseOnStopSignals::CloseOnStopSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, wake_) != 0)
        return;  // the signals keep their default action: the program ends without saving
    makeNonBlocking(wake_[0]);
    makeNonBlocking(wake_[1]);
    wakeWriteEnd = wake_[1];

    struct sigaction action = {};
    action.sa_handler = wakeEventLoop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t stops;
    sigemptyset(&stops);
    for (const int number : kStopSignals) {
        ::sigaction(number, &action, nullptr);
        sigaddset(&stops, number);
    }
    // The launcher holds them blocked until now: one that came meanwhile is
    // taken here, by the handler.
    ::sigprocmask(SIG_UNBLOCK, &stops, nullptr);
}

void CloseOnStopSignals::connect(std::function<void()> stop)
{
    if (wake_[0] < 0)
        return;
    auto notifier = std::make_unique<QSocketNotifier>(wake_[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, stop = std::move(stop)] {
        char bytes[16];
        while (::read(wake_[0], bytes, sizeof bytes) > 0) {
        }
        stop();
    });
    notifier_ = std::move(notifier);
}

CloseOnStopSignals::~CloseOnStopSignals()
{
    if (wake_[0] < 0)
        return;
    for (const int number : kStopSignals)
        std::signal(number, SIG_DFL);
    notifier_.reset();
    wakeWriteEnd = -1;
    ::close(wake_[0]);
    ::close(wake_[1]);
}

#elif defined(Q_OS_WIN)

namespace {

HANDLE stopAsked = nullptr;  // set by the handler, on a thread of the system's
HANDLE stopDone = nullptr;   // set once the stop has run on the event loop

BOOL WINAPI onConsoleEvent(DWORD event)
{
    SetEvent(stopAsked);
    // After these the system ends the process as soon as the handler
    // returns: it waits for the close path, as long as the system allows.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        WaitForSingleObject(stopDone, 4500);
    return TRUE;
}

}  // namespace

CloseOnStopSignals::CloseOnStopSignals()
{
    stopAsked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    stopDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void CloseOnStopSignals::connect(std::function<void()> stop)
{
    auto notifier = std::make_unique<QWinEventNotifier>(stopAsked);
    QObject::connect(notifier.get(), &QWinEventNotifier::activated, [stop = std::move(stop)] {
        ResetEvent(stopAsked);
        stop();
        SetEvent(stopDone);
    });
    notifier_ = std::move(notifier);
}

CloseOnStopSignals::~CloseOnStopSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    notifier_.reset();
    SetEvent(stopDone);
    CloseHandle(stopAsked);
    CloseHandle(stopDone);
}

#else

CloseOnStopSignals::CloseOnStopSignals() = default;
CloseOnStopSignals::~CloseOnStopSignals() = default;
void CloseOnStopSignals::connect(std::function<void()>) {}

#endif

}  // namespace dravilo
