#include "terminal/sending.h"

#include "program/program.h"

namespace dravilo {

void SendToHost(Program& p, const QByteArray& bytes, const QString& what)
{
    p.record(TrafficDirection::ToHost, bytes, what);
    const PortResult sent = p.MSComm1.output(bytes);
    if (!sent.ok())
        p.record(TrafficDirection::Program, {},
                 QStringLiteral("not sent: ") + (p.MSComm1.portOpen() ? sent.error : QStringLiteral("the port is closed")));
}

}  // namespace dravilo
