#pragma once

// The real binary in a process of its own, as the end-to-end tests, the
// benchmark and the soak start it: a program folder of its own (ProgramFiles
// in a temporary folder), the settings file it is to find there, Qt's
// offscreen platform for its window, and SIGTERM at the end.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <stdexcept>

#include "program/settings_record.h"

namespace dravilo::test {

class EmulatorProcess : public QProcess {
public:
    EmulatorProcess()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ProgramFiles", programFiles());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        setProcessEnvironment(env);
    }
    ~EmulatorProcess() override { stop(); }

    QString programFiles() const { return programFiles_.path(); }
    QString programFolder() const { return programFiles() + "/Dravilo v.2.00/"; }
    QString settingsPath() const { return programFolder() + "Dravilo v.2.00.eng"; }

    SettingsRecord defaults() const
    {
        SettingsRecord record;
        DefaultSettings(record, programFolder());
        return record;
    }
    void storeSettings(const QByteArray& content)
    {
        QDir().mkpath(programFolder());
        QFile file(settingsPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
            throw std::runtime_error("cannot store the settings file");
    }
    QByteArray storedSettings() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // "--headless" among the arguments runs it without a window.
    void launch(const QStringList& arguments = {})
    {
        launchedAt_ = std::chrono::steady_clock::now();
        start(DRAVILO_BINARY, arguments);
        if (!waitForStarted(10000))
            throw std::runtime_error("the emulator did not start: " + errorString().toStdString());
    }
    std::chrono::steady_clock::time_point launchedAt() const { return launchedAt_; }
    pid_t pid() const { return pid_t(processId()); }

    // As a service manager stops it; killed when that takes over 10 s.
    void stop()
    {
        if (state() == NotRunning)
            return;
        terminate();
        if (!waitForFinished(10000)) {
            kill();
            waitForFinished(5000);
        }
    }

private:
    QTemporaryDir programFiles_;
    std::chrono::steady_clock::time_point launchedAt_;
};

}  // namespace dravilo::test
