#include "host/deadline_timer.h"

#include "base/tick_schedule.h"

namespace dravilo {

DeadlineTimer::DeadlineTimer(Timer& model) : model_(model)
{
    deadline_.onRing = [this] { serve(); };
    model_.scheduleChanged = [this] { restart(); };
    restart();
}

DeadlineTimer::~DeadlineTimer() { model_.scheduleChanged = nullptr; }

void DeadlineTimer::restart()
{
    if (!model_.running())
        return deadline_.setAt(std::nullopt);
    startNs_ = SteadyNowNs();
    servedNs_ = startNs_ + intervalNs();
    deadline_.setAt(servedNs_);
}

// The next deadline is set before the tick runs, so a tick that changes the
// schedule has the last word.
void DeadlineTimer::serve()
{
    const std::int64_t served = servedNs_;
    servedNs_ = NextDeadline(startNs_, intervalNs(), served, SteadyNowNs(), kCatchUpMs * 1'000'000);
    deadline_.setAt(servedNs_);
    model_.tick();
}

}  // namespace dravilo
