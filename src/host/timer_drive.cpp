#include "host/timer_drive.h"

#include <chrono>

namespace dravilo {

namespace {

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

TimerDrive::~TimerDrive()
{
    for (Timer* model : models_)
        model->scheduleChanged = nullptr;
}

void TimerDrive::drive(Timer& model, Qt::TimerType precision)
{
    if (precision == Qt::PreciseTimer) {
        deadlineTimers_.push_back(std::make_unique<DeadlineTimer>(model));
        return;
    }
    models_.push_back(&model);
    QTimer* timer = timers_.emplace_back(std::make_unique<QTimer>()).get();
    timer->setTimerType(precision);
    QObject::connect(timer, &QTimer::timeout, [&model] { model.tick(); });
    model.scheduleChanged = [&model, timer] {
        if (model.running())
            timer->start(model.interval());
        else
            timer->stop();
    };
    model.scheduleChanged();
}

void TimerDrive::driveWhenLookedAt(Timer& model)
{
    models_.push_back(&model);
    Deferred* deferred = deferred_.emplace_back(std::make_unique<Deferred>(Deferred{&model})).get();
    model.scheduleChanged = [deferred] { deferred->dueMs = nowMs() + deferred->model->interval(); };
    model.scheduleChanged();
}

void TimerDrive::catchUp()
{
    const std::int64_t now = nowMs();
    for (const std::unique_ptr<Deferred>& d : deferred_) {
        while (d->model->running() && d->dueMs <= now) {
            d->dueMs += d->model->interval();
            d->model->tick();
        }
    }
}

}  // namespace dravilo
