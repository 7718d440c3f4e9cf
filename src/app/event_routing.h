#pragma once

namespace dravilo {

class Program;

// Which handler each control event, each timer tick and the port's
// communication event runs. A program answers nothing before this.
void RouteEvents(Program& program);

}  // namespace dravilo
