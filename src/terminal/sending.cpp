#include "terminal/sending.h"

#include <algorithm>

#include "program/program.h"

namespace dravilo {

namespace {

// The digit bytes a display field gives a weight frame: one for every
// character but the points, and of the cost, but its minus sign.
int fieldBytes(const QString& text, QChar separator, bool signless)
{
    return int(std::count_if(text.begin(), text.end(), [separator, signless](QChar c) {
        return c != u'.' && c != u',' && c != separator && !(signless && c == u'-');
    }));
}

std::uint8_t byteCount(qsizetype n) { return std::uint8_t(std::clamp<qsizetype>(n, 0, 255)); }

// What a failed send says of itself, once the bytes are recorded.
QString recordFailure(Program& p, const PortResult& sent)
{
    if (sent.ok())
        return {};
    QString why = sent.error;
    if (!p.MSComm1.portOpen()) {
        why = p.MSComm1.notOpenReason();
        if (why.isEmpty())
            why = QStringLiteral("the port is closed");
    }
    p.record(TrafficDirection::Program, {}, QStringLiteral("not sent: ") + why);
    return why;
}

}  // namespace

TrafficContext TerminalContext(const Program& p)
{
    const TerminalState& s = p.state;
    TrafficContext context;
    context.s1 = s.bytS1;
    context.s2 = s.bytS2;
    context.mode = std::uint8_t(std::clamp<int>(s.intMode, 0, 2));
    context.priceDecimals = s.intPriceDivisor == 100 ? 2 : s.intPriceDivisor == 10 ? 1 : 0;
    return context;
}

void RecordTerminalEvent(Program& p, TrafficDirection direction, TrafficKind kind, const QByteArray& bytes,
                         const TrafficContext& context)
{
    p.traffic.record({.time = p.platform.timeOfDay(), .direction = direction, .kind = kind, .bytes = bytes,
                      .context = context});
}

QString SendToHost(Program& p, const QByteArray& bytes, TrafficKind kind)
{
    TrafficContext context = TerminalContext(p);
    if (kind == TrafficKind::WeightFrame) {
        const QChar separator = p.platform.decimalSeparator();
        const int price = fieldBytes(p.form.Text8.text(), separator, false);
        const int cost = fieldBytes(p.form.Text10.text(), separator, true);
        context.priceDigits = byteCount(price);
        context.weightDigits = byteCount(bytes.size() - 2 - price - cost);
    }
    // Recorded before what a fault does to them, and told once they are out.
    const Traffic::Hold hold(p.traffic);
    RecordTerminalEvent(p, TrafficDirection::ToHost, kind, bytes, context);
    return recordFailure(p, p.MSComm1.output(bytes));
}

QString SendByHand(Program& p, const QByteArray& bytes)
{
    const Traffic::Hold hold(p.traffic);
    p.record(TrafficDirection::Program, bytes, QStringLiteral("sent by hand"));
    return recordFailure(p, p.MSComm1.output(bytes));
}

}  // namespace dravilo
