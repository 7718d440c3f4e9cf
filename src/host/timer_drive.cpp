#include "host/timer_drive.h"

namespace dravilo {

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

}  // namespace dravilo
