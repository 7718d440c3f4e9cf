#pragma once

#include "host/command_line.h"
#include "host/stop_signals.h"

namespace dravilo {

// The whole run without a window, on QCoreApplication and no Qt platform
// plugin: for build servers and test suites, where no display may be. Its
// exit status.
int RunHeadless(int argc, char** argv, const EmulatorOptions& options, CloseOnStopSignals& stopSignals);

}  // namespace dravilo
