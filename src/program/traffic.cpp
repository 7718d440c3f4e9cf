#include "program/traffic.h"

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

// The bytes as printable text between quotes, as a hex dump shows them:
// what is no printable ASCII, and the quote and the bar, as ".". The HEX
// before it has every byte; the bar is left to join lines.
QString printable(const QByteArray& bytes)
{
    QString text(u'"');
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += b < 0x20 || b >= 0x7F || b == '"' || b == '|' ? QChar(u'.') : QChar(b);
    }
    return text + u'"';
}

}  // namespace

QString TrafficLine(const TrafficEvent& event)
{
    QString line = event.time.toString(QStringLiteral("hh:mm:ss.zzz")) + u' ' + QLatin1String(directionName(event.direction));
    for (const char byte : event.bytes)
        line += QStringLiteral(" %1").arg(static_cast<unsigned char>(byte), 2, 16, QChar(u'0')).toUpper();
    if (!event.bytes.isEmpty())
        line += u' ' + printable(event.bytes);
    return line + u' ' + event.what;
}

void Traffic::record(TrafficEvent event)
{
    if (events_.size() == kKept)
        events_.pop_front();
    events_.push_back(std::move(event));
    for (const auto& watcher : watchers_)
        watcher(events_.back());
}

}  // namespace dravilo
