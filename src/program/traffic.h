#pragma once

// What crosses the line, and what the terminal made of it: each request with
// its reading, each frame or reply with its fate, what a line fault did, and
// the port's own events. It only watches: the terminal does and sends the
// same whether anybody reads it or not. The last events are kept, a bounded
// number of them, for the traffic panel and the "traffic" command.

#include <QByteArray>
#include <QString>
#include <QTime>
#include <deque>
#include <functional>
#include <vector>

namespace dravilo {

enum class TrafficDirection { FromHost, ToHost, Program };

struct TrafficEvent {
    QTime time;  // of the wall clock, to the millisecond
    TrafficDirection direction;
    QByteArray bytes;  // none for the program's own events
    QString what;
};

// One event as one line of text, the same in the panel, the log and the
// channel's answer: 20:45:01.123 from-host 0A "." weight request
QString TrafficLine(const TrafficEvent& event);

class Traffic {
public:
    static constexpr std::size_t kKept = 10000;

    void record(TrafficEvent event);
    const std::deque<TrafficEvent>& events() const { return events_; }
    void clear() { events_.clear(); }
    // Told of each event as it is recorded.
    void watch(std::function<void(const TrafficEvent&)> watcher) { watchers_.push_back(std::move(watcher)); }

private:
    std::deque<TrafficEvent> events_;
    std::vector<std::function<void(const TrafficEvent&)>> watchers_;
};

}  // namespace dravilo
