#pragma once

#include <QFile>
#include <QString>

#include "program/traffic.h"

namespace dravilo {

// The traffic appended to a file the user names, a line an event, each
// written out whole as it happens: a crash or kill -9 loses nothing already
// logged. The file is only ever appended to; a pipe, a FIFO with a reader
// or a terminal serve as well. Nothing waits on it: a line the file does not
// take (a full disk, a reader that lags or has gone) is lost, said once, and
// the terminal serves on.
class TrafficLog {
public:
    TrafficLog() = default;
    ~TrafficLog();
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    // False, with the reason, when the file cannot be opened for appending.
    bool open(const QString& path, QString& error);
    void write(const TrafficEvent& event);

private:
    // The bytes written whole; the reason where they were not.
    bool append(const QByteArray& line, QString& why);

    QString path_;
#ifdef Q_OS_UNIX
    int fd_ = -1;
#else
    QFile file_;
#endif
    bool failing_ = false;  // said once, until a line goes through again
};

}  // namespace dravilo
