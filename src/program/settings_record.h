#pragma once

// The user's choices that outlive a run, in their file order. While the
// program runs these are the working variables themselves.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace dravilo {

// The period of ZELM-1 lines unless the user sets another, in ms.
constexpr std::int16_t kDefaultSendPeriod = 150;

struct SettingsRecord {
    QString strProductName;
    QString strVersion;
    QString strSetupFolder;
    QString strResultsFolder;  // ends in the path separator
    std::int16_t intLanguage = 0;  // 0 English, 1 Russian
    QString strPortSettings;
    std::int16_t intCommPort = 0;
    std::int32_t lngBaudRate = 0;
    QString strParity;
    std::int16_t intDataBits = 0;
    std::int16_t intStopBits = 0;
    std::int16_t intSendPeriod = 0;
    std::int16_t intTerminalType = 0;  // 0 ZELM-2, 1 ZELM-1
    std::int16_t intSwayCount = 0;
    double dblSwayAmplitude = 0;
    std::int32_t lngCycleMax = 0;
    std::int32_t lngCycleCount = 0;
    std::int32_t lngCyclePeriod = 0;
    std::int16_t intCycleOn = 0;
};

void DefaultSettings(SettingsRecord& record, const QString& programFolder);

// The settings file: 19 records of 500 bytes, field n at the start of record
// n, little-endian; a string is a 16-bit length and its text in the system's
// 8-bit encoding.
constexpr int kSettingsRecordLength = 500;
constexpr int kSettingsFieldCount = 19;
constexpr int kLongestSettingsText = kSettingsRecordLength - 2;

// The text bytes a string field stores.
QByteArray SettingsText(const QString& text);

// The fields written over `file`: every other byte of it stays where it is.
// A new file ends right after the last field.
QByteArray EncodeSettings(const SettingsRecord& record, QByteArray file = {});

// The fields the file holds, the rest as in `defaults`. Nothing when the file
// cannot supply fields 1 and 2, or a field it holds cannot be read (a string
// longer than its record).
std::optional<SettingsRecord> DecodeSettings(const QByteArray& file, const SettingsRecord& defaults);

}  // namespace dravilo
