#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "ui/qt/emulator.h"
#include "ui/qt/stop_signals.h"

int main(int argc, char** argv)
{
    dravilo::CloseOnStopSignals stopSignals;
    // Without a display the terminal still serves its port, on Qt's offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a ZELM weighing terminal on a serial port."));
    parser.addHelpOption();
    const QCommandLineOption control(QStringLiteral("control"),
                                     QStringLiteral("Takes commands, one a line, on the local socket PATH "
                                                    "(\"-\": standard input); \"help\" lists them."),
                                     QStringLiteral("PATH"));
    const QCommandLineOption virtualPort(QStringLiteral("virtual-port"),
                                         QStringLiteral("Serves a pseudo-terminal of its own instead of the "
                                                        "configured port; PATH links to the host's end."),
                                         QStringLiteral("PATH"));
    parser.addOption(control);
    parser.addOption(virtualPort);
    parser.process(app);

    if (QApplication::platformName() == QLatin1String("offscreen"))
        std::fprintf(stderr, "dravilo: no display, running on Qt's offscreen platform; "
                             "the terminal serves its port without a visible window.\n");

    dravilo::Emulator emulator({parser.value(virtualPort), parser.value(control)});
    // A service manager's stop runs the same shutdown as closing the window.
    stopSignals.connect([&emulator] { emulator.stop(); });
    if (!emulator.start())
        return 2;
    return app.exec();
}
