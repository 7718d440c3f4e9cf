#include "ui/qt/timer_drive.h"

namespace dravilo {

void TimerDrive::drive(Timer& model, Qt::TimerType precision)
{
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
