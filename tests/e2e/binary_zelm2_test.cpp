// The real program, as a host program meets it: a pseudo-terminal linked as
// COM2, the binary started with its defaults, the host asking on the master.

#include "emulator_run.h"
#include "process_usage.h"

using namespace dravilo::test;

namespace {

const QByteArray kAck("\r\n", 2);
const QByteArray kPrice1024 = bytes({4, 2, 0, 1, 0, 0});

class Zelm2Binary : public EmulatorRun {
protected:
    void SetUp() override
    {
        start();
        waitUntilAnswering();
    }
    // Nothing comes within a moment.
    void expectSilence(const QByteArray& request = {})
    {
        pty.write(request);
        EXPECT_EQ(pty.readFor(300), QByteArray()) << request.toHex().toStdString();
    }
    QByteArray emptyScales(const QByteArray& price = kPrice1024)
    {
        return QByteArray(6, 0) + price + QByteArray(6, 0) + kAck;
    }
};

}  // namespace

TEST_F(Zelm2Binary, AnswersEveryRequestWithItsExactBytes)
{
    // Three frames swaying around the empty scales, then the steady frame.
    for (int i = 0; i < 3; ++i) {
        const QByteArray frame = ask(bytes({0x0A}), 20);
        ASSERT_EQ(frame.size(), 20);
        EXPECT_LE(frame[0], 2);
        EXPECT_EQ(frame.mid(1), emptyScales().mid(1));
    }
    EXPECT_EQ(ask(bytes({0x0A}), 20), emptyScales());
    EXPECT_EQ(ask(bytes({0x0A, 0x0A}), 20), emptyScales());
    expectSilence();

    EXPECT_EQ(ask(bytes({0x0B, 4, 3, 2, 1, 0, 0}), 2), kAck);
    EXPECT_EQ(ask(bytes({0x0A}), 20), emptyScales(bytes({4, 3, 2, 1, 0, 0})));

    EXPECT_EQ(ask(bytes({0x0C}), 2), kAck);
    EXPECT_EQ(ask(bytes({0x0E}), 4), bytes({0x01, 0x09, 0x0D, 0x0A}));
    EXPECT_EQ(ask(bytes({0x0D}), 2), kAck);
    expectSilence("A");
    expectSilence(bytes({0x0F, 0x0A}));
}

TEST_F(Zelm2Binary, PriceSplitOverBatchesAndAPendingPriceWithAWeightRequest)
{
    expectSilence(bytes({0x0B, 4, 2}));
    EXPECT_EQ(ask(bytes({0, 1, 0, 0}), 2), kAck);
    expectSilence();

    for (int i = 0; i < 4; ++i)
        ask(bytes({0x0A}), 20);
    expectSilence(bytes({0x0B, 3, 2, 1}));
    // The 0x0A ends the price (as ':', giving 0000.54) and asks for a frame too.
    EXPECT_EQ(ask(bytes({0x0A, 4, 5}), 22), kAck + emptyScales(bytes({4, 5, 0, 0, 0, 0})));
}

TEST_F(Zelm2Binary, SurvivesTheHostGoingAwayWithoutSpinning)
{
    pty.closeMaster();
    // QProcess only learns of a crash inside a wait: waiting is the check.
    ASSERT_FALSE(emulator.waitForFinished(500)) << "the emulator ended when the host went away";
    // A hung-up line that stays watched would wake the event loop without end.
    const pid_t pid = pid_t(emulator.processId());
    const double before = ProcessCpuSeconds(pid);
    EXPECT_FALSE(emulator.waitForFinished(1000));
    EXPECT_LT(ProcessCpuSeconds(pid) - before, 0.3) << "seconds of CPU in one idle second";

    emulator.terminate();  // SIGTERM, as a service manager would stop it
    EXPECT_TRUE(emulator.waitForFinished(5000));
}

TEST_F(Zelm2Binary, ServesAgainWhenTheDeviceComesBack)
{
    pty.closeMaster();
    ASSERT_FALSE(emulator.waitForFinished(1500));  // some tries on the dead line meanwhile
    PtyPair again;  // a null-modem restarted: a new device behind the same COM2
    LinkPort(emulator.programFiles(), 2, again);

    QByteArray reply;
    for (int i = 0; i < 100 && reply.size() < 4; ++i) {
        again.write(bytes({0x0E}));
        reply = again.read(4, 100);
    }
    EXPECT_EQ(reply, bytes({0x00, 0x09, 0x0D, 0x0A}));
}
