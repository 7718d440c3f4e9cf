#pragma once

#include <QByteArray>
#include <QString>

namespace dravilo {

class Program;

// Bytes for the host, into the port, and into the traffic as what they
// are; a send the port refuses is recorded too. The terminal goes on
// either way: a lost frame is the host's to notice.
void SendToHost(Program& p, const QByteArray& bytes, const QString& what);

}  // namespace dravilo
