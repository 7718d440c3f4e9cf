#include "app/settings_record.h"

namespace dravilo {

void DefaultSettings(SettingsRecord& r, const QString& programFolder)
{
    r.strProductName = QStringLiteral("Dravilo");
    r.strVersion = QStringLiteral("v.2.00");
    r.strSetupFolder = programFolder;
    r.strResultsFolder = programFolder;
    r.intLanguage = 0;
    r.strPortSettings = QStringLiteral("9600,n,8,1");
    r.intCommPort = 2;
    r.lngBaudRate = 9600;
    r.strParity = QStringLiteral("n");
    r.intDataBits = 8;
    r.intStopBits = 1;
    r.intSendPeriod = 150;
    r.intTerminalType = 0;
    r.intSwayCount = 3;
    r.dblSwayAmplitude = 0.1;
    r.lngCycleMax = 100;
    r.lngCycleCount = 0;
    r.lngCyclePeriod = 2;
    r.intCycleOn = 0;
}

}  // namespace dravilo
