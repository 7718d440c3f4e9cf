#include "program/waits.h"

#include <algorithm>

namespace dravilo {

Waits::Waits(std::function<std::int64_t()> now) : now_(std::move(now))
{
    timer.onTick = [this] { wake(); };
}

void Waits::add(int ms, std::function<void()> done)
{
    waiting_.emplace(now_() + ms, std::move(done));
    arm();
}

void Waits::wake()
{
    // One at a time: an answer may add a wait of its own.
    while (!waiting_.empty() && waiting_.begin()->first <= now_()) {
        const std::function<void()> done = std::move(waiting_.begin()->second);
        waiting_.erase(waiting_.begin());
        done();
    }
    arm();
}

void Waits::arm()
{
    if (waiting_.empty()) {
        timer.setEnabled(false);
        return;
    }
    timer.setInterval(int(std::clamp<std::int64_t>(waiting_.begin()->first - now_(), 1, INT32_MAX)));
    timer.setEnabled(true);
}

}  // namespace dravilo
