#pragma once

// The host's side of a ZELM-1 line: the master end of a pseudo-terminal,
// read as the bytes come, each whole line stamped when its end arrives.

#include <QByteArray>

#include <vector>

#include "bench.h"

namespace dravilo::test {

struct LineLog {
    explicit LineLog(int masterFd) : fd(masterFd) {}

    int fd;
    QByteArray pending;
    std::vector<double> stampsMs;  // from the start of the reading
    int wellFormed = 0;

    int frames() const { return int(stampsMs.size()); }
    // Reads what waits; false once the line is gone.
    bool take(Clock::time_point start);
};

// Reads every line for `seconds`.
void ReadLines(const std::vector<LineLog*>& logs, double seconds);

// Reads until every line has brought a whole line (for at most
// `waitSeconds`) and a second more, the emulator's start-up sway; then each
// log starts afresh on a line boundary. False when a line stayed silent.
bool Settle(const std::vector<LineLog*>& logs, double waitSeconds = 10);

}  // namespace dravilo::test
