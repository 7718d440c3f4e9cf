#include "ui/qt/windowed_emulator.h"

#include <QApplication>

#include "app/startup.h"

namespace dravilo {

WindowedEmulator::WindowedEmulator(const EmulatorOptions& options)
    : emulator_(options, platform_), window_(emulator_.program(), [this] { Form_Unload(emulator_.program()); })
{
    platform_.setWindow(&window_);
    emulator_.setClose([this] {
        window_.close();
        QCoreApplication::quit();  // also where the window was never shown
    });
}

void WindowedEmulator::stop() { emulator_.stop(); }

bool WindowedEmulator::start()
{
    if (!emulator_.start())
        return false;
    if (!Unattended())  // nothing is painted where nobody can see it
        window_.show();
    return true;
}

}  // namespace dravilo
