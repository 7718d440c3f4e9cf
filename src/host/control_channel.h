#pragma once

// The control channel's transport: a local socket (a Unix socket, or a named
// pipe on Windows) that only its owner may use, or standard input and output
// for "-". Each client has a conversation of its own; one that misbehaves
// (never reads, goes away, stops sending halfway) costs the others nothing.

#include <QLocalServer>
#include <memory>
#include <vector>

#include "host/path_claim.h"
#include "host/control_session.h"

namespace dravilo {

class ControlChannel {
public:
    explicit ControlChannel(ControlSession::Run run);
    ~ControlChannel();
    ControlChannel(const ControlChannel&) = delete;
    ControlChannel& operator=(const ControlChannel&) = delete;

    // False, with the reason, when the channel cannot be opened: among others
    // a path that a running emulator serves or that holds anything but a
    // socket left by one that is gone. Nothing at the path is touched then.
    bool listen(const QString& path, QString& error);
    // One more client, with a conversation of its own: a scenario file, say.
    void serve(std::unique_ptr<ControlStream> stream);

private:
    class Server;

    // In this order, so that they go in the reverse one: the clients, then
    // the socket, then its lock.
    ControlSession::Run run_;
    QObject lifetime_;  // what is left to do for the channel ends with it
    std::unique_ptr<PathClaim> claim_;
    std::unique_ptr<Server> server_;
    std::vector<std::shared_ptr<ControlSession>> sessions_;
};

}  // namespace dravilo
