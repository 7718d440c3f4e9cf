#include "ui/qt/emulator.h"

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
    window_.show();
}

}  // namespace dravilo
