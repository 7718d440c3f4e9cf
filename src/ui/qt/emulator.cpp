#include "ui/qt/emulator.h"

#include <QApplication>

#include "app/startup.h"

namespace dravilo {

Emulator::Emulator()
    : port_([this] { return program_.strProgramFolder; }),
      program_(port_, platform_),
      window_(program_.form, [this] { Form_Unload(program_); })
{
    platform_.setWindow(&window_);
    for (Timer* timer : program_.form.timers())  // only the send period is a promise to the host
        timers_.drive(*timer, timer == &program_.form.Timer1 ? Qt::PreciseTimer : Qt::CoarseTimer);
}

void Emulator::start()
{
    Form_Load(program_);
    started_ = true;
    window_.show();
    if (stopAsked_)  // closed once the event loop runs, so that closing ends it
        QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
}

void Emulator::stop()
{
    if (QWidget* box = QApplication::activeModalWidget())
        box->close();  // nobody is going to answer it now
    if (started_)
        window_.close();
    else
        stopAsked_ = true;
}

}  // namespace dravilo
