#include "terminal/sending.h"

#include "program/program.h"

namespace dravilo {

void SendToHost(Program& p, const QByteArray& bytes, const QString& what)
{
    p.record(TrafficDirection::ToHost, bytes, what);
    const PortResult sent = p.MSComm1.output(bytes);
    if (sent.ok())
        return;
    QString why = sent.error;
    if (!p.MSComm1.portOpen()) {
        why = p.MSComm1.notOpenReason();
        if (why.isEmpty())
            why = QStringLiteral("the port is closed");
    }
    p.record(TrafficDirection::Program, {}, QStringLiteral("not sent: ") + why);
}

}  // namespace dravilo
