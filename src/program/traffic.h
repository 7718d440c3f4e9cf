#pragma once

// What crosses the line, and what the terminal made of it: each request with
// its reading, each frame or reply with its fate, what a line fault did, and
// the port's own events. It only watches: the terminal does and sends the
// same whether anybody reads it or not. The last events are kept, a bounded
// number of them, for the traffic panel and the "traffic" command.

#include <QByteArray>
#include <QString>
#include <QTime>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace dravilo {

enum class TrafficDirection { FromHost, ToHost, Program };

struct TrafficEvent {
    QTime time;  // of the wall clock, to the millisecond
    TrafficDirection direction;
    QByteArray bytes;  // none for the program's own events; only the first ones of a long read
    QString what;
    qint64 size = 0;  // of the bytes that crossed, those not kept included
};

// The parts of an event as the panel's columns show them: the time, the
// direction, the bytes in HEX, the bytes as text, what it is.
enum class TrafficField { Time, Direction, Hex, Text, What };
constexpr int kTrafficFields = 5;
QString TrafficFieldOf(const TrafficEvent& event, TrafficField field);

// One event as one line of text, the same in the panel's file, the log and
// the channel's answer: 20:45:01.123 from-host 0A "." weight request
QString TrafficLine(const TrafficEvent& event);

class Traffic {
public:
    static constexpr std::size_t kKept = 10000;
    // Of an event's bytes, the first ones are kept: a frame or a request
    // whole, of a host's junk what a person reads anyway. The size says the rest.
    static constexpr qsizetype kKeptBytes = 64;
    // What an event says of itself, at most.
    static constexpr qsizetype kLongestWhat = 512;

    void record(TrafficEvent event);
    const std::deque<TrafficEvent>& events() const { return events_; }
    // How many events were ever recorded, those no longer kept included.
    std::uint64_t recorded() const { return recorded_; }
    // Told of each event as it is recorded.
    void watch(std::function<void(const TrafficEvent&)> watcher) { watchers_.push_back(std::move(watcher)); }

private:
    std::deque<TrafficEvent> events_;
    std::uint64_t recorded_ = 0;
    std::vector<std::function<void(const TrafficEvent&)>> watchers_;
};

// The rows of the traffic panel: the events recorded since it was last
// cleared, no more than the record keeps, brought in when the panel is
// redrawn rather than at each event.
class TrafficRows {
public:
    // Takes in what was recorded since the last call; false when nothing was.
    bool pull(const Traffic& traffic);
    // No rows, and none of the events recorded so far come back.
    void clear(const Traffic& traffic);
    const std::deque<TrafficEvent>& rows() const { return rows_; }

private:
    std::deque<TrafficEvent> rows_;
    std::uint64_t seen_ = 0;  // of the traffic's recorded events
};

}  // namespace dravilo
