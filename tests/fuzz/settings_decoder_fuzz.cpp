// The settings decoder over any bytes gives a record or nothing and never
// reads past the data; a record it gives is written back and read again
// unchanged; a valid file read and written back is the same bytes.

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <tuple>

#include "program/settings_record.h"

using namespace dravilo;

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

// The sway amplitude by its bits, so a stored NaN compares equal to itself.
auto fields(const SettingsRecord& r)
{
    return std::tuple(r.strProductName, r.strVersion, r.strSetupFolder, r.strResultsFolder, r.intLanguage,
                      r.strPortSettings, r.intCommPort, r.lngBaudRate, r.strParity, r.intDataBits, r.intStopBits,
                      r.intSendPeriod, r.intTerminalType, r.intSwayCount,
                      std::bit_cast<std::uint64_t>(r.dblSwayAmplitude), r.lngCycleMax, r.lngCycleCount,
                      r.lngCyclePeriod, r.intCycleOn);
}

constexpr int kStringFields[] = {0, 1, 2, 3, 5, 8};

// All 19 fields there, and every string one the 8-bit encoding gives back as it is.
bool validFile(const QByteArray& file)
{
    if (file.size() < qsizetype(kSettingsFieldCount - 1) * kSettingsRecordLength + 2)
        return false;
    for (int n : kStringFields) {
        const qsizetype at = qsizetype(n) * kSettingsRecordLength;
        const std::int16_t length = qFromLittleEndian<std::int16_t>(file.constData() + at);
        if (length < 0 || length > kLongestSettingsText)
            return false;
        const QByteArray text = file.mid(at + 2, length);
        if (QString::fromLocal8Bit(text).toLocal8Bit() != text)
            return false;
    }
    return true;
}

// Bytes that are no text in the 8-bit encoding read as replacement
// characters, which take more bytes when written: a string may then not fit
// its record any more and is cut, so it cannot read back the same.
bool fitsWhenWritten(const SettingsRecord& r)
{
    for (const QString* text : {&r.strProductName, &r.strVersion, &r.strSetupFolder, &r.strResultsFolder,
                                &r.strPortSettings, &r.strParity})
        if (text->toLocal8Bit().size() > kLongestSettingsText)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SettingsRecord defaults;
    DefaultSettings(defaults, QStringLiteral("/opt/Dravilo v.2.00/"));
    // No copy: a read past the input's last byte leaves the fuzzer's buffer.
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    const std::optional<SettingsRecord> record = DecodeSettings(file, defaults);
    if (validFile(file)) {
        require(record.has_value());
        require(EncodeSettings(*record, file) == file);
    }
    if (record && fitsWhenWritten(*record)) {
        const std::optional<SettingsRecord> again = DecodeSettings(EncodeSettings(*record, file), defaults);
        require(again.has_value() && fields(*again) == fields(*record));
    }
    return 0;
}
