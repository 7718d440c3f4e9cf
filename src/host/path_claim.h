#pragma once

// A path the user gave for a socket or a link of this program's. It is this
// run's while it holds the lock file beside it ("PATH.lock"), a lock the
// system drops when the process ends, however it ends. What already stands
// at the path is replaced only when it is a leftover of a run that is gone:
// a socket, or a link to a terminal device made by this user; anything else
// is the user's and is left alone.

#include <QLockFile>
#include <QString>
#include <memory>

namespace dravilo {

class PathClaim {
public:
    enum class Leftover { Socket, DeviceLink };

    // Nothing, with the reason, when another run holds the path or something
    // that is not a leftover of ours stands there. The lock is "PATH.lock"
    // unless `lockPath` names another (for a name that is no file's path).
    static std::unique_ptr<PathClaim> take(const QString& path, Leftover leftover, QString& error,
                                           const QString& lockPath = {});

private:
    explicit PathClaim(const QString& lockPath) : lock_(lockPath) {}

    QLockFile lock_;  // unlocked, and its file removed, with the claim
};

}  // namespace dravilo
