#include <QApplication>

#include "host/headless.h"
#include "host/headless_platform.h"
#include "ui/qt/windowed_emulator.h"

// The one place that knows both faces of the program: the window, or none.
int main(int argc, char** argv)
{
    // Before anything a stop would have to undo exists.
    dravilo::CloseOnStopSignals stopSignals;
    const std::optional<dravilo::EmulatorOptions> options = dravilo::ParseCommandLine(argc, argv);
    if (!options)
        return 2;
    if (options->headless)
        return dravilo::RunHeadless(argc, argv, *options, stopSignals);

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without an X or Wayland display the terminal still serves its port, on
    // Qt's offscreen platform. (Windows and macOS always have their own.)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    if (dravilo::Unattended())
        dravilo::Say(QStringLiteral("no display, running on Qt's offscreen platform; "
                                    "the terminal serves its port without a visible window."));

    dravilo::WindowedEmulator emulator(*options);
    // A service manager's stop runs the same shutdown as closing the window.
    stopSignals.connect([&emulator] { emulator.stop(); });
    if (!emulator.start())
        return 2;
    return app.exec();
}
