// The real binary on its settings file: what a stored file selects is what
// the host meets on the line, a stop signal saves the file, and a file that
// cannot be read gives way to the defaults.

#include <QRandomGenerator>
#include <csignal>

#include "emulator_run.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

using BinarySettings = EmulatorRun;

TEST_F(BinarySettings, StoredZelm1SendsItsLineAtTheStoredPeriod)
{
    SettingsRecord record = defaults();
    record.intTerminalType = 1;
    record.intSendPeriod = 40;
    storeSettings(EncodeSettings(record));
    start();

    // Counting starts on a line boundary, once the program is up.
    QByteArray first;
    while (!first.endsWith('\n')) {
        const QByteArray byte = pty.read(1, 20000);
        ASSERT_EQ(byte.size(), 1) << "no whole line within 20 s: " << first.toStdString();
        first += byte;
    }
    const QByteArray second = pty.readFor(1000);
    const qsizetype lines = second.count("kg\r\n");
    EXPECT_GE(lines, 15) << second.toStdString();  // 25 at 40 ms; the default 150 ms gives 6
    EXPECT_LE(lines, 30) << second.toStdString();
}

TEST_F(BinarySettings, StoredPortNumberIsThePortOpened)
{
    SettingsRecord record = defaults();
    record.intCommPort = 5;
    storeSettings(EncodeSettings(record));
    start(5);  // only COM5 leads to the pty
    waitUntilAnswering();
}

struct StopSignal {
    int number;
    const char* name;
};
void PrintTo(const StopSignal& s, std::ostream* out) { *out << s.name; }

class BinaryStopSignal : public EmulatorRun, public ::testing::WithParamInterface<StopSignal> {};

TEST_P(BinaryStopSignal, SavesTheSettingsAndExitsCleanly)
{
    SettingsRecord record = defaults();
    record.intSendPeriod = 70;  // not the default: a save of the defaults would show
    // A file that ends after field 12: loading leaves it so, only a save
    // writes the remaining fields.
    const QByteArray full = EncodeSettings(record);
    const qsizetype twelveFields = 11 * kSettingsRecordLength + 2;
    storeSettings(full.left(twelveFields));
    start();
    waitUntilAnswering();
    ASSERT_EQ(storedSettings().size(), twelveFields) << "saved before the signal";

    ::kill(pid_t(emulator.processId()), GetParam().number);
    ASSERT_TRUE(emulator.waitForFinished(10000));
    EXPECT_EQ(emulator.exitStatus(), QProcess::NormalExit) << "ended by the signal itself";
    EXPECT_EQ(emulator.exitCode(), 0);
    const QByteArray saved = storedSettings();
    EXPECT_EQ(saved.size(), full.size());
    EXPECT_TRUE(saved == full) << "the saved fields are not the ones loaded";
}

INSTANTIATE_TEST_SUITE_P(Signals, BinaryStopSignal,
                         ::testing::Values(StopSignal{SIGTERM, "SIGTERM"}, StopSignal{SIGINT, "SIGINT"},
                                           StopSignal{SIGHUP, "SIGHUP"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct UnreadableFile {
    const char* name;
    QByteArray content;
};
void PrintTo(const UnreadableFile& f, std::ostream* out) { *out << f.name; }

// 700 bytes of noise behind the first length word.
QByteArray noiseAfter(std::initializer_list<int> lengthWord)
{
    QByteArray content = bytes(lengthWord);
    QRandomGenerator noise(7);
    while (content.size() < 700)
        content.append(char(noise.bounded(256)));
    return content;
}

class BinaryUnreadableSettings : public EmulatorRun, public ::testing::WithParamInterface<UnreadableFile> {};

TEST_P(BinaryUnreadableSettings, IsReplacedByTheDefaultsAtStart)
{
    storeSettings(GetParam().content);
    start();
    waitUntilAnswering();
    const QByteArray fresh = storedSettings();
    EXPECT_EQ(fresh.size(), EncodeSettings(defaults()).size());
    EXPECT_TRUE(fresh == EncodeSettings(defaults())) << "not the defaults file";
}

INSTANTIATE_TEST_SUITE_P(Files, BinaryUnreadableSettings,
                         ::testing::Values(UnreadableFile{"Empty", {}},
                                           UnreadableFile{"NegativeLength", noiseAfter({0xFF, 0xFF})},
                                           UnreadableFile{"LengthBeyondItsRecord", noiseAfter({0xF3, 0x01})}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
