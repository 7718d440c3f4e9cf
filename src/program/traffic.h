#pragma once

// What crosses the line, and what the terminal made of it: each request with
// its reading, each frame or reply with its fate, what a line fault did, and
// the port's own events. It only watches: the terminal does and sends the
// same whether anybody reads it or not. The last events are kept, a bounded
// number of them, for the traffic panel and the "traffic" command.
//
// An event keeps facts, not words: its bytes, which of the terminal's events
// it is and the status bytes and formats it was built or read with. The
// words are made by whoever reads the event (the log, the panel, the
// "traffic" command), never on the way of a reply.

#include <QByteArray>
#include <QString>
#include <QTime>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace dravilo {

enum class TrafficDirection : std::uint8_t { FromHost, ToHost, Program };

// The terminal's own events on the way of a reply; every other event (the
// port's, the line's, what a fault did) says what it is in `words`.
enum class TrafficKind : std::uint8_t { Words, Request, WeightFrame, Zelm1Line, Acknowledgement, StatusReply };

// The digits of a price setting as one read left them.
struct PriceDigits {
    std::int8_t count = -1;  // of six, 6 once the price is set; -1 where the read took none
    double price = 0;        // the price set, once all six are in
};

// The terminal as it stood at the event: what its bytes are read with.
struct TrafficContext {
    std::uint8_t s1 = 0, s2 = 0;
    std::uint8_t mode = 0;           // the operating mode in force
    std::uint8_t priceDecimals = 2;  // of the price format in force
    // Of a weight frame, the bytes of its weight and price fields; the cost has the rest.
    std::uint8_t weightDigits = 6, priceDigits = 6;
    PriceDigits carried;  // a request's bytes read on into a price setting that was waiting
    PriceDigits setting;  // a price setting the request began
};

struct TrafficEvent {
    QTime time{};  // of the wall clock, to the millisecond
    TrafficDirection direction = TrafficDirection::Program;
    TrafficKind kind = TrafficKind::Words;
    QByteArray bytes{};  // none for most of the program's own events; only the first ones of a long read
    qint64 size = 0;     // of the bytes that crossed, those not kept included
    QString words{};     // what a Words event is, in the log's English
    TrafficContext context{};
};

// The views of an event every reader shares: "20:45:01.123", the bytes in
// HEX ("0D 0A"), and the bytes as printable text.
QString TrafficTime(QTime time);
QString TrafficHex(const QByteArray& bytes);
QString TrafficText(const QByteArray& bytes);

class Traffic {
public:
    static constexpr std::size_t kKept = 10000;
    // Of an event's bytes, the first ones are kept: a frame or a request
    // whole, of a host's junk what a person reads anyway. The size says the rest.
    static constexpr qsizetype kKeptBytes = 64;
    // What an event says of itself, at most.
    static constexpr qsizetype kLongestWords = 512;

    void record(TrafficEvent event);
    const std::deque<TrafficEvent>& events() const { return events_; }
    // How many events were ever recorded, those no longer kept included.
    std::uint64_t recorded() const { return recorded_; }
    // Told of each event as it is recorded, or once a Hold is over.
    void watch(std::function<void(const TrafficEvent&)> watcher) { watchers_.push_back(std::move(watcher)); }

    // While one lives, the watchers wait: a request and its reply are told
    // of once the reply is on the line, so that the log never holds it back.
    class Hold {
    public:
        explicit Hold(Traffic& traffic);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        Traffic& traffic_;
    };

private:
    void tell(std::uint64_t from);

    std::deque<TrafficEvent> events_;
    std::uint64_t recorded_ = 0;
    int holds_ = 0;
    std::uint64_t heldFrom_ = 0;  // the first event the watchers were not yet told of
    std::vector<std::function<void(const TrafficEvent&)>> watchers_;
};

// The rows of the traffic panel: the events recorded since it was last
// cleared, no more than the record keeps, brought in when the panel is
// redrawn rather than at each event; and of them the rows its filter shows.
class TrafficRows {
public:
    using Filter = std::function<bool(const TrafficEvent&)>;

    // Takes in what was recorded since the last call; false when nothing was.
    bool pull(const Traffic& traffic);
    // No rows, and none of the events recorded so far come back.
    void clear(const Traffic& traffic);
    // Shows only the rows `shows` passes, those to come as well; none: all.
    void filter(Filter shows);
    // Whether the rows shown changed otherwise than by new ones (a clear, a
    // new filter) since it was last asked.
    bool takeReshown();

    const std::deque<TrafficEvent>& rows() const { return rows_; }
    std::size_t shownCount() const { return shown_.size(); }
    const TrafficEvent& shown(std::size_t i) const { return rows_[std::size_t(shown_[i] - first_)]; }
    // The most bytes a row shown since the last clear or filter keeps.
    qsizetype longestShown() const { return longest_; }

private:
    void show(std::uint64_t number);

    std::deque<TrafficEvent> rows_;
    std::deque<std::uint64_t> shown_;  // numbers of the rows shown, oldest first
    std::uint64_t first_ = 0;          // the number of the oldest row
    std::uint64_t seen_ = 0;           // of the traffic's recorded events
    Filter shows_;
    qsizetype longest_ = 0;
    bool reshown_ = false;
};

}  // namespace dravilo
