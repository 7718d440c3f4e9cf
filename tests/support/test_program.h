#pragma once

// A whole program on the test port, test services and the virtual clock.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

#include "app/event_routing.h"
#include "app/startup.h"
#include "port/line_faults.h"
#include "program/program.h"
#include "fake_platform.h"
#include "fake_port.h"
#include "virtual_clock.h"

namespace dravilo::test {

struct TestProgram {
    QTemporaryDir programFiles;
    FakePort port;
    FakePlatform platform;
    VirtualClock clock;
    LineFaults line{port, [this] { return clock.now(); }};
    Program program{line, platform};
    Form1& form = program.form;
    TerminalState& state = program.state;
    SettingsRecord& settings = program.settings;

    TestProgram()
    {
        platform.env[QStringLiteral("ProgramFiles")] = QDir::toNativeSeparators(programFiles.path());
        platform.clock = [this] { return clock.now(); };
        RouteEvents(program);
        RouteLineFaults(program, line);
        line.reportTo(program);
        for (Timer* timer : form.timers())
            clock.watch(*timer);
        clock.watch(line.delayTimer);
        clock.watch(program.waits.timer);
    }

    // The start-up of the real program, on the settings file in programFiles
    // (the defaults when there is none).
    TestProgram& started()
    {
        Form_Load(program);
        return *this;
    }

    // As the program writes it: with the system's separators.
    QString programFolder() const { return QDir::toNativeSeparators(programFiles.path() + "/Dravilo v.2.00/"); }
    QString settingsPath() const { return programFolder() + "Dravilo v.2.00.eng"; }
    SettingsRecord defaults() const
    {
        SettingsRecord r;
        DefaultSettings(r, programFolder());
        return r;
    }
    // A settings file as a previous run, or something else, left it.
    void store(const QByteArray& file) const
    {
        QDir().mkpath(programFolder());
        QFile f(settingsPath());
        if (!f.open(QIODevice::WriteOnly) || f.write(file) != file.size())
            throw std::runtime_error("cannot write the settings file");
    }
    QByteArray storedFile() const
    {
        QFile f(settingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The operating mode through its two S2 boxes, as a person sets it.
    void setMode(int mode)
    {
        form.Check3[3].setValue(mode == 1 ? 1 : 0);
        form.Check3[2].setValue(mode == 2 ? 1 : 0);
    }
};

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

}  // namespace dravilo::test
