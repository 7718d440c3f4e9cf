#include "host/emulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/control_commands.h"
#include "app/event_routing.h"
#include "app/startup.h"
#include "host/headless_platform.h"
#include "host/network_serial_port.h"
#include "host/owned_paths.h"
#include "host/pty_serial_port.h"
#include "host/device_port.h"
#include "host/script_stream.h"

namespace dravilo {

namespace {

// The line a host uses: the virtual port or a network line when one is
// asked for. Where it cannot be made, the configured port stands in only so
// that the program can be built: the run ends before it is opened, for a
// host that opens the path must not meet whatever else is there.
std::unique_ptr<SerialPort> makePort(const EmulatorOptions& options, std::function<QString()> programFolder,
                                     QString& error)
{
    const bool rfc2217 = !options.rfc2217.isEmpty();
    if (!error.isEmpty()) {
        // The start has failed already: nothing more is made.
    } else if (int(!options.virtualPort.isEmpty()) + int(!options.tcp.isEmpty()) + int(rfc2217) > 1) {
        error = QStringLiteral("--virtual-port, --tcp and --rfc2217 exclude each other: give one of them");
    } else if (!options.virtualPort.isEmpty()) {
        if (std::unique_ptr<PtySerialPort> pty = PtySerialPort::create(options.virtualPort, error))
            return pty;
        error = QStringLiteral("no virtual port at %1: %2").arg(options.virtualPort, error);
    } else if (rfc2217 || !options.tcp.isEmpty()) {
        const QString where = rfc2217 ? options.rfc2217 : options.tcp;
        const QString kind = rfc2217 ? QStringLiteral("RFC 2217") : QStringLiteral("TCP");
        const auto protocol = rfc2217 ? NetworkSerialPort::Protocol::Rfc2217 : NetworkSerialPort::Protocol::Raw;
        if (std::unique_ptr<NetworkSerialPort> line = NetworkSerialPort::listen(where, protocol, error)) {
            Say(QStringLiteral("%1 line for the host on %2").arg(kind, line->address()));
            if (line->reachableFromOutside())
                Say(QStringLiteral("anyone who can reach %1 can talk to the terminal").arg(line->address()));
            return line;
        }
        error = QStringLiteral("no %1 line on %2: %3").arg(kind, where, error);
    }
    return MakeDevicePort(std::move(programFolder));
}

// The program folder the command line names, made with its parents before
// anything else is (a virtual port may be asked for inside it): a test
// suite's fresh folder. Checked before and after: nothing is made on a way
// others control, and nothing another user put there is written through.
// Empty, with the reason in `error`, where it cannot be had.
QString madeSettingsDir(const QString& asked, QString& error)
{
    if (asked.isEmpty())
        return {};
    const QString dir = QFileInfo(asked).absoluteFilePath();
    QString why = NotOwnFolder(dir);
    if (why.isEmpty() && (!QDir().mkpath(dir) || !QFileInfo(dir).isDir()))
        why = QStringLiteral("it is no folder and cannot be made");
    if (why.isEmpty())
        why = NotOwnFolder(dir);
    if (why.isEmpty())
        return QDir::toNativeSeparators(dir);
    error = QStringLiteral("no settings folder at %1: %2").arg(asked, why);
    return {};
}

}  // namespace

Emulator::Emulator(const EmulatorOptions& options, Platform& platform)
    : options_(options),
      settingsDir_(madeSettingsDir(options.settingsDir, startError_)),
      port_(makePort(options, [this] { return program_.strProgramFolder; }, startError_)),
      model_(*port_, options.linePace == QLatin1String("instant") ? LineModel::Pace::Instant : LineModel::Pace::Line,
             SteadyNowNs),
      line_(model_, [&platform] { return platform.elapsedMs(); }),
      program_(line_, platform),
      modelAlarm_(model_.alarm),
      control_([this](const QString& text, const ControlAnswer& answer) {
          timers_.catchUp();
          RunControlCommand(program_, line_, text, answer);
      }),
      close_([this] {
          Form_Unload(program_);
          QCoreApplication::quit();
      })
{
    RouteEvents(program_);
    RouteLineFaults(program_, line_);
    RouteLineModel(program_, model_);
    line_.reportTo(program_);
    Form1& f = program_.form;
    for (Timer* timer : f.timers()) {
        if (timer == &f.Timer1)  // only the send period is a promise to the host
            timers_.drive(*timer, Qt::PreciseTimer);
        else if (timer == &f.Timer4 && options.headless)  // it only darkens the send lamp
            timers_.driveWhenLookedAt(*timer);
        else
            timers_.drive(*timer);
    }
    timers_.drive(line_.delayTimer);
    timers_.drive(program_.waits.timer);
}

bool Emulator::start()
{
    if (!startError_.isEmpty()) {
        Say(startError_);
        return false;
    }
    program_.settingsDir = settingsDir_;
    if (!options_.control.isEmpty()) {
        QString error;
        if (!control_.listen(options_.control, error)) {
            Say(QStringLiteral("no control channel (--control %1): %2").arg(options_.control, error));
            return false;
        }
    }
    if (!options_.script.isEmpty()) {
        QString error;
        std::unique_ptr<ScriptStream> script = ScriptStream::open(options_.script, error);
        if (!script) {
            Say(QStringLiteral("no script (--script %1): %2").arg(options_.script, error));
            return false;
        }
        control_.serve(std::move(script));  // its first line runs once the start is over
    }
    if (!options_.log.isEmpty()) {
        QString error;
        if (!log_.open(options_.log, error)) {
            Say(QStringLiteral("no traffic log (--log %1): %2").arg(options_.log, error));
            return false;
        }
        program_.traffic.watch([this](const TrafficEvent& event) { log_.write(event); });
    }
    Form_Load(program_);
    started_ = true;
    if (stopAsked_)  // once the event loop runs, so that the close can end it
        QMetaObject::invokeMethod(QCoreApplication::instance(), [this] { close_(); }, Qt::QueuedConnection);
    return true;
}

void Emulator::stop()
{
    if (started_)
        close_();
    else
        stopAsked_ = true;
}

}  // namespace dravilo
