#pragma once

// The real binary in a program folder of its own: a test stores a settings
// file, starts the emulator with a pseudo-terminal as one of its ports and
// speaks to it as a host program would.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "program/settings_record.h"
#include "pty_pair.h"
#include "test_program.h"

namespace dravilo::test {

class EmulatorRun : public ::testing::Test {
protected:
    QTemporaryDir programFiles;
    PtyPair pty;
    QProcess emulator;

    QString programFolder() const { return programFiles.path() + "/Dravilo v.2.00/"; }
    QString settingsPath() const { return programFolder() + "Dravilo v.2.00.eng"; }

    SettingsRecord defaults() const
    {
        SettingsRecord record;
        DefaultSettings(record, programFolder());
        return record;
    }

    void storeSettings(const QByteArray& content)
    {
        ASSERT_TRUE(QDir().mkpath(programFolder()));
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
    }
    QByteArray storedSettings() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Links the pty as COM`port` (which also makes the program folder) and starts the binary.
    void start(int port = 2, const QProcessEnvironment& extra = {})
    {
        LinkPort(programFiles.path(), port, pty);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ProgramFiles", programFiles.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert(extra);
        emulator.setProcessEnvironment(env);
        emulator.setProcessChannelMode(QProcess::ForwardedChannels);
        emulator.start(DRAVILO_BINARY, {});
        ASSERT_TRUE(emulator.waitForStarted(10000));
    }

    // Asks ZELM-2 for its status until the port is open (20 s on a slow
    // machine), then drops the answers to the requests that queued meanwhile.
    void waitUntilAnswering()
    {
        QByteArray reply;
        for (int i = 0; i < 200 && reply.size() < 4; ++i) {
            pty.write(bytes({0x0E}));
            reply = pty.read(4, 100);
        }
        ASSERT_EQ(reply, bytes({0x00, 0x09, 0x0D, 0x0A}));
        pty.readFor(300);
    }

    QByteArray ask(const QByteArray& request, int replyBytes)
    {
        pty.write(request);
        return pty.read(replyBytes, 2000);
    }

    void TearDown() override
    {
        if (emulator.state() == QProcess::NotRunning)
            return;
        emulator.terminate();
        if (!emulator.waitForFinished(5000)) {
            emulator.kill();
            emulator.waitForFinished(5000);
        }
    }
};

}  // namespace dravilo::test
