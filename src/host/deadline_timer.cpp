#include "host/deadline_timer.h"

#include <algorithm>
#include <chrono>

#include "base/tick_schedule.h"

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace dravilo {

namespace {

// steady_clock is CLOCK_MONOTONIC on Linux, the clock the timerfd runs on.
std::int64_t nowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

DeadlineTimer::DeadlineTimer(Timer& model) : model_(model)
{
#ifdef Q_OS_LINUX
    fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        std::uint64_t expirations;
        // Not readable any more when a restart re-armed it since the wake-up.
        if (::read(fd_, &expirations, sizeof expirations) == sizeof expirations)
            serve();
    });
#else
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { serve(); });
#endif
    model_.scheduleChanged = [this] { restart(); };
    restart();
}

DeadlineTimer::~DeadlineTimer()
{
    model_.scheduleChanged = nullptr;
#ifdef Q_OS_LINUX
    notifier_.reset();
    ::close(fd_);
#endif
}

void DeadlineTimer::restart()
{
    if (!model_.running())
        return disarm();
    startNs_ = nowNs();
    arm(startNs_ + intervalNs());
}

// The next deadline is set before the tick runs, so a tick that changes the
// schedule has the last word.
void DeadlineTimer::serve()
{
    arm(NextDeadline(startNs_, intervalNs(), deadlineNs_, nowNs(), kCatchUpMs * 1'000'000));
    model_.tick();
}

#ifdef Q_OS_LINUX

void DeadlineTimer::arm(std::int64_t deadlineNs)
{
    deadlineNs_ = deadlineNs;
    itimerspec at{};
    at.it_value.tv_sec = deadlineNs / 1'000'000'000;
    at.it_value.tv_nsec = deadlineNs % 1'000'000'000;
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &at, nullptr);
}

void DeadlineTimer::disarm()
{
    const itimerspec never{};
    timerfd_settime(fd_, 0, &never, nullptr);
}

#else

// A QTimer counts whole milliseconds: the nearest one, so a deadline is met
// within half a millisecond either side and the grid keeps the mean exact.
void DeadlineTimer::arm(std::int64_t deadlineNs)
{
    deadlineNs_ = deadlineNs;
    const std::int64_t leftNs = deadlineNs - nowNs();
    timer_.start(std::chrono::milliseconds(std::max<std::int64_t>(0, (leftNs + 500'000) / 1'000'000)));
}

void DeadlineTimer::disarm() { timer_.stop(); }

#endif

}  // namespace dravilo
