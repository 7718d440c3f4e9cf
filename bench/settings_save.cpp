// One SaveSettings on a real file (read the old one, encode, write beside
// it, rename over it), each save a changed record, 200 times. The port and
// platform play no part in a save: the test doubles stand in.

#include <QTemporaryDir>

#include <cstdio>

#include "app/settings_file.h"
#include "fake_platform.h"
#include "fake_port.h"
#include "parts.h"
#include "program/program.h"

namespace dravilo::test {

void MeasureSettingsSave(Bench& bench)
{
    QTemporaryDir folder;
    FakePort port;
    FakePlatform platform;
    Program program(port, platform);
    program.strProgramFolder = folder.path() + "/";
    program.strSettingsFile = QStringLiteral("Dravilo v.2.00.eng");
    DefaultSettings(program.settings, program.strProgramFolder);
    std::vector<double> ms;
    int failures = 0;
    for (int i = 0; i < 200; ++i) {
        program.settings.lngCycleCount = i;
        const auto start = Clock::now();
        if (SaveSettings(program))
            ms.push_back(MsSince(start));
        else
            ++failures;
    }
    const bool met = failures == 0 && Percentile(ms, 50) < 5;
    std::printf("Settings save, 200 saves of the 9002-byte file: median %.3f ms, p99 %.3f ms, %d failed "
                "(goal median < 5 ms: %s)\n\n",
                Percentile(ms, 50), Percentile(ms, 99), failures, Verdict(met));
    bench.goal("settings save, median", Format("%.3f ms", Percentile(ms, 50)), "< 5 ms", met);
}

}  // namespace dravilo::test
