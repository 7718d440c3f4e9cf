#include "line_log.h"

#include <QRegularExpression>

#include <algorithm>
#include <poll.h>
#include <unistd.h>

namespace dravilo::test {

namespace {

// "WW", the weight in the "00000.0" pattern (a sign may take the first
// digit), "kg", CR LF: a line cut short or run together fails here.
bool WellFormed(const QByteArray& frame)
{
    static const QRegularExpression line(QStringLiteral("^WW[-0-9][0-9]{4}\\.[0-9]kg\r\n$"));
    return line.match(QString::fromLatin1(frame)).hasMatch();
}

}  // namespace

bool LineLog::take(Clock::time_point start)
{
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    const double now = MsSince(start);
    pending.append(buffer, n);
    qsizetype end;
    while ((end = pending.indexOf('\n')) >= 0) {
        stampsMs.push_back(now);
        wellFormed += WellFormed(pending.left(end + 1));
        pending.remove(0, end + 1);
    }
    return true;
}

void ReadLines(const std::vector<LineLog*>& logs, double seconds)
{
    std::vector<pollfd> ready;
    for (const LineLog* log : logs)
        ready.push_back({log->fd, POLLIN, 0});
    const auto start = Clock::now();
    while (MsSince(start) < seconds * 1000) {
        ThrowIfStopped();
        if (::poll(ready.data(), ready.size(), 50) <= 0)
            continue;
        for (size_t i = 0; i < ready.size(); ++i)
            if (ready[i].revents & (POLLIN | POLLHUP | POLLERR))
                if (!logs[i]->take(start))
                    ready[i].fd = -1;  // a line that is gone is not polled again
    }
}

bool Settle(const std::vector<LineLog*>& logs, double waitSeconds)
{
    auto silent = [&logs] {
        return std::any_of(logs.begin(), logs.end(), [](const LineLog* log) { return log->frames() == 0; });
    };
    const auto start = Clock::now();
    while (silent() && MsSince(start) < waitSeconds * 1000)
        ReadLines(logs, 0.05);
    ReadLines(logs, 1);
    const bool spoke = !silent();
    for (LineLog* log : logs) {
        log->stampsMs.clear();
        log->wellFormed = 0;
    }
    return spoke;
}

}  // namespace dravilo::test
