#include <QApplication>
#include <cstdio>

#include "ui/qt/emulator.h"
#include "ui/qt/stop_signals.h"

int main(int argc, char** argv)
{
    // Without a display the terminal still serves its port, on Qt's offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (QApplication::platformName() == QLatin1String("offscreen"))
        std::fprintf(stderr, "dravilo: no display, running on Qt's offscreen platform; "
                             "the terminal serves its port without a visible window.\n");

    dravilo::Emulator emulator;
    // A service manager's stop runs the same shutdown as closing the window.
    const dravilo::CloseOnStopSignals stopSignals([&emulator] { emulator.stop(); });
    emulator.start();
    return app.exec();
}
