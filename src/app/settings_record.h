#pragma once

// The user's choices that outlive a run, in their file order. While the
// program runs these are the working variables themselves.

#include <QString>
#include <cstdint>

namespace dravilo {

struct SettingsRecord {
    QString strProductName;
    QString strVersion;
    QString strSetupFolder;
    QString strResultsFolder;
    std::int16_t intLanguage = 0;
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

}  // namespace dravilo
