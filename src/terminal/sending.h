#pragma once

#include <QByteArray>
#include <QString>

#include "program/traffic.h"

namespace dravilo {

class Program;

// Bytes for the host, into the traffic as the event they are and into the
// port; the record's watchers (the log) hear of them once they are out, so
// that the record never holds a reply back. A send the port refuses is
// recorded too, and its reason returned (empty when sent). The terminal goes
// on either way: a lost frame is the host's to notice.
QString SendToHost(Program& p, const QByteArray& bytes, TrafficKind kind);
// The same for bytes a person or a test sends as the terminal, by hand.
QString SendByHand(Program& p, const QByteArray& bytes);

// What the terminal's bytes are read with: its status bytes and formats now.
TrafficContext TerminalContext(const Program& p);
// An event of the terminal's own, at the time of day now.
void RecordTerminalEvent(Program& p, TrafficDirection direction, TrafficKind kind, const QByteArray& bytes,
                         const TrafficContext& context);

}  // namespace dravilo
