#include "host/alarm_drive.h"

#include <algorithm>
#include <chrono>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace dravilo {

std::int64_t SteadyNowNs()
{
    // steady_clock is CLOCK_MONOTONIC on Linux, the clock the timerfd runs on.
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

AlarmDrive::AlarmDrive(Alarm& model) : model_(model)
{
#ifdef Q_OS_LINUX
    fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        std::uint64_t expirations;
        // Not readable any more when the alarm was set anew since the wake-up.
        if (::read(fd_, &expirations, sizeof expirations) == sizeof expirations)
            model_.ring();
    });
#else
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { model_.ring(); });
#endif
    model_.changed = [this] { follow(); };
    follow();
}

AlarmDrive::~AlarmDrive()
{
    model_.changed = nullptr;
#ifdef Q_OS_LINUX
    notifier_.reset();
    ::close(fd_);
#endif
}

#ifdef Q_OS_LINUX

void AlarmDrive::follow()
{
    itimerspec at{};  // all zero: disarmed
    if (const std::optional<std::int64_t> ns = model_.at()) {
        const std::int64_t due = std::max<std::int64_t>(*ns, 1);  // a moment already past rings at once
        at.it_value.tv_sec = due / 1'000'000'000;
        at.it_value.tv_nsec = due % 1'000'000'000;
    }
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &at, nullptr);
}

#else

void AlarmDrive::follow()
{
    const std::optional<std::int64_t> ns = model_.at();
    if (!ns)
        return timer_.stop();
    const std::int64_t leftNs = *ns - SteadyNowNs();
    timer_.start(std::chrono::milliseconds(std::max<std::int64_t>(0, (leftNs + 500'000) / 1'000'000)));
}

#endif

}  // namespace dravilo
