#pragma once

namespace dravilo {

class Program;

// The communication event: a ZELM-2 terminal answers what the host sent.
void MSComm1_OnComm(Program& p);

}  // namespace dravilo
