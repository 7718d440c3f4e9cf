#pragma once

#include <QFile>
#include <QString>

#include "program/traffic.h"

namespace dravilo {

// The traffic appended to a file the user names, a line an event, each
// written out whole as it happens: a crash or kill -9 loses nothing already
// logged. The file is only ever appended to. Nothing waits on it: a line
// the file does not take (a full disk, a reader of a FIFO that lags) is
// lost, said once, and the terminal serves on.
class TrafficLog {
public:
    // False, with the reason, when the file cannot be opened for appending.
    bool open(const QString& path, QString& error);
    void write(const TrafficEvent& event);

private:
    QFile file_;
    bool failing_ = false;  // said once, until a line goes through again
};

}  // namespace dravilo
