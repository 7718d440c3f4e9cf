#include "program/traffic.h"

#include <algorithm>

namespace dravilo {

namespace {

const char* directionName(TrafficDirection direction)
{
    switch (direction) {
    case TrafficDirection::FromHost: return "from-host";
    case TrafficDirection::ToHost: return "to-host";
    case TrafficDirection::Program: return "program";
    }
    return "";
}

// The bytes as printable text, as a hex dump shows them: what is no
// printable ASCII, and the quote and the bar, as ".". The HEX beside it has
// every byte; the quote and the bar are left to the line's own syntax.
QString printable(const QByteArray& bytes)
{
    QString text;
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += b < 0x20 || b >= 0x7F || b == '"' || b == '|' ? QChar(u'.') : QChar(b);
    }
    return text;
}

// Every byte kept, and how many crossed where only the first were kept.
QString hex(const TrafficEvent& event)
{
    const QString kept = QString::fromLatin1(event.bytes.toHex(' ').toUpper());
    if (event.size <= event.bytes.size())
        return kept;
    return kept + QStringLiteral(" … (%1 bytes in all)").arg(event.size);
}

}  // namespace

QString TrafficFieldOf(const TrafficEvent& event, TrafficField field)
{
    switch (field) {
    case TrafficField::Time: return event.time.toString(QStringLiteral("hh:mm:ss.zzz"));
    case TrafficField::Direction: return QLatin1String(directionName(event.direction));
    case TrafficField::Hex: return hex(event);
    case TrafficField::Text: return printable(event.bytes);
    case TrafficField::What: return event.what;
    }
    return {};
}

QString TrafficLine(const TrafficEvent& event)
{
    QString line = TrafficFieldOf(event, TrafficField::Time) + u' ' + TrafficFieldOf(event, TrafficField::Direction);
    if (!event.bytes.isEmpty())
        line += u' ' + hex(event) + QStringLiteral(" \"") + printable(event.bytes) + u'"';
    return line + u' ' + event.what;
}

void Traffic::record(TrafficEvent event)
{
    // A host's flood costs the record what any event costs.
    event.size = std::max(event.size, event.bytes.size());
    if (event.bytes.size() > kKeptBytes)
        event.bytes.truncate(kKeptBytes);
    if (event.what.size() > kLongestWhat)
        event.what = event.what.left(kLongestWhat - 1) + u'…';
    if (events_.size() == kKept)
        events_.pop_front();
    events_.push_back(std::move(event));
    ++recorded_;
    for (const auto& watcher : watchers_)
        watcher(events_.back());
}

bool TrafficRows::pull(const Traffic& traffic)
{
    const std::deque<TrafficEvent>& events = traffic.events();
    const std::size_t fresh = std::min<std::uint64_t>(traffic.recorded() - seen_, events.size());
    seen_ = traffic.recorded();
    if (fresh == 0)
        return false;
    const std::size_t overflow = std::min(rows_.size(), std::max(rows_.size() + fresh, Traffic::kKept) - Traffic::kKept);
    rows_.erase(rows_.begin(), rows_.begin() + std::ptrdiff_t(overflow));
    rows_.insert(rows_.end(), events.end() - std::ptrdiff_t(fresh), events.end());
    return true;
}

void TrafficRows::clear(const Traffic& traffic)
{
    rows_.clear();
    seen_ = traffic.recorded();
}

}  // namespace dravilo
