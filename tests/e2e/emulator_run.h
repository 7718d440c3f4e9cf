#pragma once

// The real binary in a program folder of its own: a test stores a settings
// file, starts the emulator with a pseudo-terminal as one of its ports and
// speaks to it as a host program would.

#include <gtest/gtest.h>

#include "emulator_process.h"
#include "pty_pair.h"
#include "test_program.h"

namespace dravilo::test {

class EmulatorRun : public ::testing::Test {
protected:
    PtyPair pty;
    EmulatorProcess emulator;

    // Links the pty as COM`port` (which also makes the program folder) and starts the binary.
    void start(int port = 2, const QProcessEnvironment& extra = {})
    {
        LinkPort(emulator.programFiles(), port, pty);
        QProcessEnvironment env = emulator.processEnvironment();
        env.insert(extra);
        emulator.setProcessEnvironment(env);
        emulator.setProcessChannelMode(QProcess::ForwardedChannels);
        emulator.launch();
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
};

}  // namespace dravilo::test
