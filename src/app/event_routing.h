#pragma once

namespace dravilo {

class LineFaults;
class LineModel;
class Program;

// Which handler each control event, each timer tick and the port's
// communication event runs. A program answers nothing before this.
void RouteEvents(Program& program);
// The line-fault panel's events, for a program whose line has faults to set.
void RouteLineFaults(Program& program, LineFaults& line);
// What the window shows of the line model, kept in step with it.
void RouteLineModel(Program& program, LineModel& model);

}  // namespace dravilo
