#include "program/traffic.h"

#include <algorithm>

namespace dravilo {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

QChar* twoDigits(QChar* out, int n)
{
    *out++ = QChar(u'0' + n / 10);
    *out++ = QChar(u'0' + n % 10);
    return out;
}

}  // namespace

// Written by hand: QTime::toString goes through the locale's calendar, at
// many times the cost of the rest of a log line.
QString TrafficTime(QTime time)
{
    const int ms = time.isValid() ? time.msecsSinceStartOfDay() : 0;
    QString text(12, Qt::Uninitialized);
    QChar* out = twoDigits(text.data(), ms / 3'600'000);
    *out++ = u':';
    out = twoDigits(out, ms / 60'000 % 60);
    *out++ = u':';
    out = twoDigits(out, ms / 1000 % 60);
    *out++ = u'.';
    *out++ = QChar(u'0' + ms / 100 % 10);
    twoDigits(out, ms % 100);
    return text;
}

QString TrafficHex(const QByteArray& bytes)
{
    QString text(std::max<qsizetype>(0, bytes.size() * 3 - 1), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0)
            *out++ = u' ';
        *out++ = QLatin1Char(kHexDigits[b >> 4]);
        *out++ = QLatin1Char(kHexDigits[b & 0xF]);
    }
    return text;
}

// The bytes as printable text, as a hex dump shows them: what is no
// printable ASCII, and the quote and the bar, as ".". The HEX beside it has
// every byte; the quote and the bar are left to the line's own syntax.
QString TrafficText(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = b < 0x20 || b >= 0x7F || b == '"' || b == '|' ? QChar(u'.') : QChar(b);
    }
    return text;
}

void Traffic::record(TrafficEvent event)
{
    // A host's flood costs the record what any event costs.
    event.size = std::max(event.size, event.bytes.size());
    if (event.bytes.size() > kKeptBytes)
        event.bytes.truncate(kKeptBytes);
    if (event.words.size() > kLongestWords)
        event.words = event.words.left(kLongestWords - 1) + u'…';
    if (events_.size() == kKept)
        events_.pop_front();
    events_.push_back(std::move(event));
    ++recorded_;
    if (holds_ == 0)
        tell(recorded_ - 1);
}

void Traffic::tell(std::uint64_t from)
{
    // Of a hold that outlived more events than are kept, the newest.
    const std::uint64_t oldestKept = recorded_ - events_.size();
    for (std::uint64_t n = std::max(from, oldestKept); n < recorded_; ++n)
        for (const auto& watcher : watchers_)
            watcher(events_[std::size_t(n - oldestKept)]);
}

Traffic::Hold::Hold(Traffic& traffic) : traffic_(traffic)
{
    if (traffic_.holds_++ == 0)
        traffic_.heldFrom_ = traffic_.recorded_;
}

Traffic::Hold::~Hold()
{
    if (--traffic_.holds_ == 0)
        traffic_.tell(traffic_.heldFrom_);
}

bool TrafficRows::pull(const Traffic& traffic)
{
    const std::deque<TrafficEvent>& events = traffic.events();
    const std::size_t fresh = std::min<std::uint64_t>(traffic.recorded() - seen_, events.size());
    seen_ = traffic.recorded();
    if (fresh == 0)
        return false;
    const std::size_t overflow =
        std::min(rows_.size(), std::max(rows_.size() + fresh, Traffic::kKept) - Traffic::kKept);
    rows_.erase(rows_.begin(), rows_.begin() + std::ptrdiff_t(overflow));
    first_ += overflow;
    while (!shown_.empty() && shown_.front() < first_)
        shown_.pop_front();
    const std::uint64_t next = first_ + rows_.size();
    rows_.insert(rows_.end(), events.end() - std::ptrdiff_t(fresh), events.end());
    for (std::uint64_t n = next; n < first_ + rows_.size(); ++n)
        show(n);
    return true;
}

void TrafficRows::clear(const Traffic& traffic)
{
    first_ += rows_.size();
    rows_.clear();
    shown_.clear();
    longest_ = 0;
    seen_ = traffic.recorded();
    reshown_ = true;
}

void TrafficRows::filter(Filter shows)
{
    shows_ = std::move(shows);
    shown_.clear();
    longest_ = 0;
    for (std::uint64_t n = first_; n < first_ + rows_.size(); ++n)
        show(n);
    reshown_ = true;
}

bool TrafficRows::takeReshown() { return std::exchange(reshown_, false); }

void TrafficRows::show(std::uint64_t number)
{
    const TrafficEvent& row = rows_[std::size_t(number - first_)];
    if (shows_ && !shows_(row))
        return;
    shown_.push_back(number);
    longest_ = std::max(longest_, row.bytes.size());
}

}  // namespace dravilo
