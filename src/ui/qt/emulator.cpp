#include "ui/qt/emulator.h"

#include <QApplication>
#include <cstdio>

#include "app/control_commands.h"
#include "app/startup.h"
#include "port/pty_serial_port.h"
#include "port/qt_serial_port.h"

namespace dravilo {

namespace {

void say(const QString& text) { std::fprintf(stderr, "dravilo: %s\n", text.toLocal8Bit().constData()); }

// The virtual port when one is asked for. Where it cannot be made, the
// configured port stands in only so that the program can be built: the run
// ends before it is opened, for a host that opens the path must not meet
// whatever else is there.
std::unique_ptr<SerialPort> makePort(const QString& virtualPort, std::function<QString()> programFolder,
                                     QString& error)
{
    if (!virtualPort.isEmpty()) {
        if (std::unique_ptr<PtySerialPort> pty = PtySerialPort::create(virtualPort, error)) {
            say(QStringLiteral("virtual port for the host: %1 (%2)").arg(virtualPort, pty->hostEnd()));
            return pty;
        }
        error = QStringLiteral("no virtual port at %1: %2").arg(virtualPort, error);
    }
    return std::make_unique<QtSerialPort>(std::move(programFolder));
}

}  // namespace

Emulator::Emulator(const EmulatorOptions& options)
    : options_(options),
      port_(makePort(options.virtualPort, [this] { return program_.strProgramFolder; }, portError_)),
      program_(*port_, platform_),
      window_(program_.form, [this] { Form_Unload(program_); }),
      control_([this](const QString& line, const ControlAnswer& answer) { RunControlCommand(program_, line, answer); })
{
    platform_.setWindow(&window_);
    for (Timer* timer : program_.timers())  // only the send period is a promise to the host
        timers_.drive(*timer, timer == &program_.form.Timer1 ? Qt::PreciseTimer : Qt::CoarseTimer);
}

bool Emulator::start()
{
    if (!portError_.isEmpty()) {
        say(portError_);
        return false;
    }
    if (!options_.control.isEmpty()) {
        QString error;
        if (!control_.listen(options_.control, error)) {
            say(QStringLiteral("no control channel: %1").arg(error));
            return false;
        }
    }
    Form_Load(program_);
    started_ = true;
    window_.show();
    if (stopAsked_)  // closed once the event loop runs, so that closing ends it
        QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
    return true;
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
