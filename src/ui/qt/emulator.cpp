#include "ui/qt/emulator.h"

#include "app/startup.h"

namespace dravilo {

Emulator::Emulator()
    : port_([this] { return program_.strProgramFolder; }),
      program_(port_, platform_),
      window_(program_, [this] { Form_Unload(program_); })
{
    platform_.setDialogParent(&window_);
    timers_.drive(program_.form.Timer1, Qt::PreciseTimer);
    timers_.drive(program_.form.Timer4);
}

void Emulator::start()
{
    Form_Load(program_);
    window_.show();
}

}  // namespace dravilo
