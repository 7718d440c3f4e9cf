#include "host/headless.h"

#include <QCoreApplication>

#include "host/emulator.h"
#include "host/headless_platform.h"

namespace dravilo {

int RunHeadless(int argc, char** argv, CloseOnStopSignals& stopSignals)
{
    QCoreApplication app(argc, argv);
    const std::optional<EmulatorOptions> options = ParseCommandLine(app);
    if (!options)
        return 2;
    HeadlessPlatform platform;
    Emulator emulator(*options, platform);
    stopSignals.connect([&emulator] { emulator.stop(); });
    if (!emulator.start())
        return 2;
    return app.exec();
}

}  // namespace dravilo
