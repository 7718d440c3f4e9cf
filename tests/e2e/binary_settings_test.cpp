// The real binary on its settings file: what a stored file selects is what
// the host meets on the line, a stop signal saves the file, a file that
// cannot be read as settings gives way to the defaults, and a save that
// cannot be made whole leaves the file as it was.

#include <QRandomGenerator>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

#include "emulator_run.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

using BinarySettings = EmulatorRun;

TEST_F(BinarySettings, StoredZelm1SendsItsLineAtTheStoredPeriod)
{
    SettingsRecord record = emulator.defaults();
    record.intTerminalType = 1;
    record.intSendPeriod = 40;
    emulator.storeSettings(EncodeSettings(record));
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
    SettingsRecord record = emulator.defaults();
    record.intCommPort = 5;
    emulator.storeSettings(EncodeSettings(record));
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
    SettingsRecord record = emulator.defaults();
    record.intSendPeriod = 70;  // not the default: a save of the defaults would show
    // A file that ends after field 12: loading leaves it so, only a save
    // writes the remaining fields.
    const QByteArray full = EncodeSettings(record);
    const qsizetype twelveFields = 11 * kSettingsRecordLength + 2;
    emulator.storeSettings(full.left(twelveFields));
    start();
    waitUntilAnswering();
    ASSERT_EQ(emulator.storedSettings().size(), twelveFields) << "saved before the signal";

    ::kill(pid_t(emulator.processId()), GetParam().number);
    ASSERT_TRUE(emulator.waitForFinished(10000));
    EXPECT_EQ(emulator.exitStatus(), QProcess::NormalExit) << "ended by the signal itself";
    EXPECT_EQ(emulator.exitCode(), 0);
    const QByteArray saved = emulator.storedSettings();
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
    emulator.storeSettings(GetParam().content);
    start();
    waitUntilAnswering();
    const QByteArray fresh = emulator.storedSettings();
    EXPECT_EQ(fresh.size(), EncodeSettings(emulator.defaults()).size());
    EXPECT_TRUE(fresh == EncodeSettings(emulator.defaults())) << "not the defaults file";
}

INSTANTIATE_TEST_SUITE_P(Files, BinaryUnreadableSettings,
                         ::testing::Values(UnreadableFile{"Empty", {}},
                                           UnreadableFile{"NegativeLength", noiseAfter({0xFF, 0xFF})},
                                           UnreadableFile{"LengthBeyondItsRecord", noiseAfter({0xF3, 0x01})}),
                         [](const auto& info) { return std::string(info.param.name); });

// Root may read and write any file: under root the emulator runs as
// nobody, in a folder given to nobody, so that permissions mean something.
constexpr uid_t kNobody = 65534;

struct SaveCase {
    const char* name;
    std::function<void(const QString& folder, const QString& file)> setUp;
    bool fullDisk;           // no file may grow beyond 4 KB, as on a disk that is full
    const char* answer;      // to "language eng", which saves
    const char* said;        // on standard error, this many times
    int times;
    bool saved;              // the file holds English and its tail; otherwise it is as it was
};
void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }

class BinarySave : public EmulatorRun, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(BinarySave, ReplacesTheFileWholeOrLeavesItAsItWas)
{
    const SaveCase& c = GetParam();
    SettingsRecord russian = emulator.defaults();
    russian.intLanguage = 1;
    const QByteArray stored = EncodeSettings(russian) + "the user's tail";
    emulator.storeSettings(stored);
    c.setUp(emulator.programFolder(), emulator.settingsPath());

    const bool root = ::geteuid() == 0;
    if (root)
        for (const auto& entry : std::filesystem::recursive_directory_iterator(emulator.programFiles().toStdString()))
            ::lchown(entry.path().c_str(), kNobody, kNobody);
    ::chown(qPrintable(emulator.programFiles()), kNobody, kNobody);
    emulator.setChildProcessModifier([root, fullDisk = c.fullDisk] {
        if (fullDisk) {
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::signal(SIGXFSZ, SIG_IGN);
        }
        if (root && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(99);
    });
    emulator.setProcessChannelMode(QProcess::SeparateChannels);
    emulator.launch({"--control", "-"});
    emulator.write("language eng\n");
    while (!emulator.canReadLine() && emulator.waitForReadyRead(20000)) {
    }
    const QString answer = QString::fromUtf8(emulator.readLine());
    EXPECT_TRUE(answer.startsWith(QString::fromUtf8(c.answer))) << answer.toStdString();
    emulator.terminate();
    ASSERT_TRUE(emulator.waitForFinished(10000));
    EXPECT_EQ(emulator.exitCode(), 0);

    const QString said = QString::fromUtf8(emulator.readAllStandardError());
    EXPECT_EQ(said.count(QString::fromUtf8(c.said)), c.times) << said.toStdString();
    const QByteArray after = emulator.storedSettings();
    if (c.saved) {
        EXPECT_EQ(DecodeSettings(after, emulator.defaults())->intLanguage, 0);
        EXPECT_TRUE(after.endsWith("the user's tail"));
    } else {
        EXPECT_TRUE(after == stored) << "the file was changed";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BinarySave,
    ::testing::Values(
        SaveCase{"DiskFull", [](const QString&, const QString&) {}, true,
                 "error: the settings were not saved: ", "The settings cannot be saved", 1, false},
        SaveCase{"FileThatCannotBeRead",
                 [](const QString&, const QString& file) { QFile::setPermissions(file, QFile::WriteOwner); }, false,
                 "error: the settings were not saved: the file could not be read at start", "cannot be read", 1, false},
        SaveCase{"FolderThatTakesNoNewFile",
                 [](const QString& folder, const QString&) {
                     QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
                 },
                 false, "ok", "The settings cannot be saved", 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

