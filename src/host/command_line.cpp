#include "host/command_line.h"

#include <QCommandLineParser>
#include <cstring>

namespace dravilo {

namespace {

const char kHeadless[] = "headless";

}  // namespace

bool HeadlessAsked(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return true;
    return false;
}

EmulatorOptions ParseCommandLine(const QCoreApplication& app)
{
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
    const QCommandLineOption tcp(QStringLiteral("tcp"),
                                 QStringLiteral("Serves the line to one TCP client at a time on [ADDRESS:]PORT "
                                                "(127.0.0.1 unless named), its bytes as they are."),
                                 QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption rfc2217(QStringLiteral("rfc2217"),
                                     QStringLiteral("As --tcp, speaking Telnet with the COM-PORT option "
                                                    "(RFC 2217) as a serial device server does."),
                                     QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Appends the line's traffic to FILE, a line an event."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption settingsDir(
        QStringLiteral("settings-dir"),
        QStringLiteral("Uses DIR as the program folder (the settings file, the port links, the results), made "
                       "if missing, instead of the one under ProgramFiles or the user's data folder."),
        QStringLiteral("DIR"));
    const QCommandLineOption script(QStringLiteral("script"),
                                    QStringLiteral("Runs the control commands in FILE, one a line, after the "
                                                   "start; each answer goes to standard output after its line's "
                                                   "number."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption headless(QLatin1String(kHeadless),
                                      QStringLiteral("Runs without a window and without any Qt platform plugin; "
                                                     "messages go to standard error."));
    parser.addOption(control);
    parser.addOption(virtualPort);
    parser.addOption(tcp);
    parser.addOption(rfc2217);
    parser.addOption(log);
    parser.addOption(settingsDir);
    parser.addOption(script);
    parser.addOption(headless);
    parser.process(app);
    EmulatorOptions options;
    options.virtualPort = parser.value(virtualPort);
    options.tcp = parser.value(tcp);
    options.rfc2217 = parser.value(rfc2217);
    options.control = parser.value(control);
    options.log = parser.value(log);
    options.settingsDir = parser.value(settingsDir);
    options.script = parser.value(script);
    options.headless = parser.isSet(headless);
    return options;
}

}  // namespace dravilo
