#include "host/command_line.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "base/captions.h"
#include "host/headless_platform.h"

namespace dravilo {

namespace {

// An option that takes a value, and where that value goes.
struct ValueOption {
    const char* name;
    const char* valueName;
    const char* description;
    QString EmulatorOptions::*value;
};

const ValueOption kValueOptions[] = {
    {"control", "PATH",
     "Takes commands, one a line, on the local socket PATH (\"-\": standard input); \"help\" lists them.",
     &EmulatorOptions::control},
    {"virtual-port", "PATH",
     "Serves a pseudo-terminal of its own instead of the configured port; PATH links to the host's end.",
     &EmulatorOptions::virtualPort},
    {"tcp", "[ADDRESS:]PORT",
     "Serves the line to one TCP client at a time on [ADDRESS:]PORT (127.0.0.1 unless named), its bytes as they are.",
     &EmulatorOptions::tcp},
    {"rfc2217", "[ADDRESS:]PORT",
     "As --tcp, speaking Telnet with the COM-PORT option (RFC 2217) as a serial device server does.",
     &EmulatorOptions::rfc2217},
    {"log", "FILE", "Appends the line's traffic to FILE, a line an event.", &EmulatorOptions::log},
    {"settings-dir", "DIR",
     "Uses DIR as the program folder (the settings file, the port links, the results), made if missing, instead "
     "of the one under ProgramFiles or the user's data folder.",
     &EmulatorOptions::settingsDir},
    {"script", "FILE",
     "Runs the control commands in FILE, one a line, after the start; each answer goes to standard output after "
     "its line's number.",
     &EmulatorOptions::script},
    {"line-pace", "line|instant",
     "How bytes cross a virtual or network line: at the terminal's rate, as on a real line (\"line\", the "
     "default), or at once (\"instant\").",
     &EmulatorOptions::linePace},
};

}  // namespace

std::optional<EmulatorOptions> ParseCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    QCoreApplication::setApplicationVersion(kVersion.mid(2));
    parser.setApplicationDescription(QStringLiteral("Plays a ZELM weighing terminal on a serial port."));
    parser.addHelpOption();
    std::vector<QCommandLineOption> valueOptions;
    valueOptions.reserve(std::size(kValueOptions));
    for (const ValueOption& option : kValueOptions) {
        valueOptions.emplace_back(QLatin1String(option.name), QLatin1String(option.description),
                                  QLatin1String(option.valueName));
        parser.addOption(valueOptions.back());
    }
    const QCommandLineOption headless(QStringLiteral("headless"),
                                      QStringLiteral("Runs without a window and without any Qt platform plugin; "
                                                     "messages go to standard error."));
    parser.addOption(headless);
    const QCommandLineOption version = parser.addVersionOption();
    // "-headless" is the option a person meant, not seven letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Help and version on standard output, wherever it leads: no message box.
    if (!parser.parse(arguments)) {
        QString error = parser.errorText();
        if (error.endsWith(u'.'))
            error.chop(1);
        Say(QStringLiteral("%1; dravilo --help lists the options").arg(error));
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(version)) {
        const QString text = parser.isSet(version) ? QStringLiteral("dravilo %1\n").arg(QCoreApplication::applicationVersion())
                                                   : parser.helpText().replace(
                                                         QStringLiteral("<executable_name>"), QStringLiteral("dravilo"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::exit(0);
    }
    if (!parser.positionalArguments().isEmpty()) {
        Say(QStringLiteral("%1 is no option; dravilo --help lists the options").arg(parser.positionalArguments()[0]));
        return std::nullopt;
    }

    EmulatorOptions options;
    for (std::size_t i = 0; i < valueOptions.size(); ++i) {
        if (!parser.isSet(valueOptions[i]))
            continue;
        const QString value = parser.value(valueOptions[i]);
        // Never a silent fall back to the usual folder or port: "--tcp $PORT"
        // with PORT unset must not serve the real COM2 instead.
        if (value.isEmpty()) {
            Say(QStringLiteral("--%1 needs %2, and it was given an empty one")
                    .arg(QLatin1String(kValueOptions[i].name), QLatin1String(kValueOptions[i].valueName)));
            return std::nullopt;
        }
        options.*kValueOptions[i].value = value;
    }
    options.headless = parser.isSet(headless);
    if (!options.linePace.isEmpty() && options.linePace != QLatin1String("line") &&
        options.linePace != QLatin1String("instant")) {
        Say(QStringLiteral("--line-pace is line or instant, not %1").arg(options.linePace));
        return std::nullopt;
    }
    return options;
}

}  // namespace dravilo
