#pragma once

// The emulator binary in a process of its own for the benchmark and the
// soak: a program folder of its own, COM2 linked to a pseudo-terminal, and
// the settings file it finds at start made from the defaults.

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <functional>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "program/settings_record.h"
#include "process_usage.h"
#include "pty_pair.h"

namespace dravilo::test {

class EmulatorProcess {
public:
    // `args` starts with the binary; `stored` changes the defaults.
    EmulatorProcess(const PtyPair& pty, std::vector<std::string> args,
                    const std::function<void(SettingsRecord&)>& stored = {})
    {
        LinkPort(programFiles(), 2, pty);
        if (stored)
            storeSettings(stored);
        const std::string folder = programFiles().toStdString();
        startedAt_ = std::chrono::steady_clock::now();
        pid_ = fork();
        if (pid_ == 0) {
            setenv("ProgramFiles", folder.c_str(), 1);
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~EmulatorProcess()
    {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    QString programFiles() const { return programFiles_.path(); }
    double cpuSeconds() const { return ProcessCpuSeconds(pid_); }
    double peakMemoryMb() const { return ProcessPeakMemoryMb(pid_); }
    double residentMb() const { return ProcessResidentMb(pid_); }
    std::chrono::steady_clock::time_point startedAt() const { return startedAt_; }

private:
    void storeSettings(const std::function<void(SettingsRecord&)>& change)
    {
        const QString folder = programFiles() + "/Dravilo v.2.00/";
        SettingsRecord record;
        DefaultSettings(record, folder);
        change(record);
        QFile file(folder + "Dravilo v.2.00.eng");
        if (!file.open(QIODevice::WriteOnly) || file.write(EncodeSettings(record)) < 0)
            std::fprintf(stderr, "cannot store the settings file\n");
    }

    QTemporaryDir programFiles_;
    pid_t pid_ = -1;
    std::chrono::steady_clock::time_point startedAt_;
};

}  // namespace dravilo::test
