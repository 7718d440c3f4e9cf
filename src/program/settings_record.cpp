#include "program/settings_record.h"

#include <QStringList>
#include <QtEndian>
#include <array>
#include <cstring>
#include <variant>

#include "base/captions.h"

namespace dravilo {

namespace {

using Field = std::variant<QString SettingsRecord::*, std::int16_t SettingsRecord::*, std::int32_t SettingsRecord::*,
                           double SettingsRecord::*>;

// File order; encoding and decoding both walk it.
const std::array<Field, kSettingsFieldCount> kFields{
    &SettingsRecord::strProductName, &SettingsRecord::strVersion,     &SettingsRecord::strSetupFolder,
    &SettingsRecord::strResultsFolder, &SettingsRecord::intLanguage,  &SettingsRecord::strPortSettings,
    &SettingsRecord::intCommPort,    &SettingsRecord::lngBaudRate,    &SettingsRecord::strParity,
    &SettingsRecord::intDataBits,    &SettingsRecord::intStopBits,    &SettingsRecord::intSendPeriod,
    &SettingsRecord::intTerminalType, &SettingsRecord::intSwayCount,  &SettingsRecord::dblSwayAmplitude,
    &SettingsRecord::lngCycleMax,    &SettingsRecord::lngCycleCount,  &SettingsRecord::lngCyclePeriod,
    &SettingsRecord::intCycleOn,
};

template <class T>
QByteArray littleEndian(T value)
{
    QByteArray bytes(sizeof(T), Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray encodeValue(const SettingsRecord& r, const Field& field)
{
    return std::visit(
        [&r](auto member) -> QByteArray {
            const auto& value = r.*member;
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, QString>) {
                const QByteArray text = SettingsText(value);
                return littleEndian(std::int16_t(text.size())) + text;
            } else {
                return littleEndian(value);
            }
        },
        field);
}

// Bytes of a text as the system's 8-bit encoding reads them, each NUL byte
// kept as a NUL character: Qt on Windows drops a trailing one, and a text
// must read back as it was written. No 8-bit encoding has NUL inside a character.
QString localText(const QByteArray& bytes)
{
    QStringList pieces;
    for (const QByteArray& piece : bytes.split('\0'))
        pieces << QString::fromLocal8Bit(piece);
    return pieces.join(QChar(0));
}

enum class Read { Done, Missing, Broken };

// One value from `at`: Missing where the file ends before it, Broken where
// it cannot be a value of its field.
Read decodeValue(const QByteArray& file, qsizetype at, SettingsRecord& r, const Field& field)
{
    return std::visit(
        [&](auto member) -> Read {
            auto& value = r.*member;
            using T = std::decay_t<decltype(value)>;
            const char* data = file.constData() + at;
            if constexpr (std::is_same_v<T, QString>) {
                if (file.size() < at + 2)
                    return Read::Missing;
                const std::int16_t length = qFromLittleEndian<std::int16_t>(data);
                if (length < 0 || length > kLongestSettingsText)
                    return Read::Broken;
                if (file.size() < at + 2 + length)
                    return Read::Missing;
                value = localText(QByteArray(data + 2, length));
            } else {
                if (file.size() < at + qsizetype(sizeof(T)))
                    return Read::Missing;
                value = qFromLittleEndian<T>(data);
            }
            return Read::Done;
        },
        field);
}

}  // namespace

void DefaultSettings(SettingsRecord& r, const QString& programFolder)
{
    r.strProductName = kProductName;
    r.strVersion = kVersion;
    r.strSetupFolder = programFolder;
    r.strResultsFolder = programFolder;
    r.intLanguage = 0;
    r.strPortSettings = QStringLiteral("9600,n,8,1");
    r.intCommPort = 2;
    r.lngBaudRate = 9600;
    r.strParity = QStringLiteral("n");
    r.intDataBits = 8;
    r.intStopBits = 1;
    r.intSendPeriod = kDefaultSendPeriod;
    r.intTerminalType = 0;
    r.intSwayCount = 3;
    r.dblSwayAmplitude = 0.1;
    r.lngCycleMax = 100;
    r.lngCycleCount = 0;
    r.lngCyclePeriod = 2;
    r.intCycleOn = 0;
}

QByteArray SettingsText(const QString& text)
{
    // A text too long for its record is cut at a whole character, so it can
    // never spill into the next record.
    QString kept = text;
    QByteArray bytes = kept.toLocal8Bit();
    while (bytes.size() > kLongestSettingsText) {
        kept.chop(kept.size() >= 2 && kept.back().isLowSurrogate() ? 2 : 1);
        bytes = kept.toLocal8Bit();
    }
    return bytes;
}

QByteArray EncodeSettings(const SettingsRecord& record, QByteArray file)
{
    for (int n = 0; n < kSettingsFieldCount; ++n) {
        const QByteArray value = encodeValue(record, kFields[n]);
        const qsizetype at = qsizetype(n) * kSettingsRecordLength;
        if (file.size() < at + value.size())
            file.resize(at + value.size(), '\0');
        std::memcpy(file.data() + at, value.constData(), size_t(value.size()));
    }
    return file;
}

std::optional<SettingsRecord> DecodeSettings(const QByteArray& file, const SettingsRecord& defaults)
{
    SettingsRecord record = defaults;
    for (int n = 0; n < kSettingsFieldCount; ++n) {
        switch (decodeValue(file, qsizetype(n) * kSettingsRecordLength, record, kFields[n])) {
        case Read::Done:
            break;
        case Read::Missing:  // the file ends here: the fields from here on keep their defaults
            if (n < 2)
                return std::nullopt;
            return record;
        case Read::Broken:
            return std::nullopt;
        }
    }
    return record;
}

}  // namespace dravilo
