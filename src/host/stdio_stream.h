#pragma once

#include <memory>

#include "host/control_session.h"

namespace dravilo {

// Standard input and output as a control client ("--control -"), or standard
// output alone for a script's answers (`reads` false). Neither side waits:
// input is taken as it comes and answers go out as the reader takes them,
// with a bounded amount left waiting.
std::unique_ptr<ControlStream> MakeStdioStream(bool reads);

}  // namespace dravilo
