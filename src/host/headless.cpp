#include "host/headless.h"

#include <QCoreApplication>

#include "host/emulator.h"
#include "host/headless_platform.h"

namespace dravilo {

int RunHeadless(int argc, char** argv, const EmulatorOptions& options, CloseOnStopSignals& stopSignals)
{
    QCoreApplication app(argc, argv);
    HeadlessPlatform platform;
    Emulator emulator(options, platform);
    stopSignals.connect([&emulator] { emulator.stop(); });
    if (!emulator.start())
        return 2;
    return app.exec();
}

}  // namespace dravilo
