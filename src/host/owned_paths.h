#pragma once

// Paths the user gives that the program writes through. In a folder other
// users may write to, a link or a folder one of them made can point the
// program's writes at the user's own files: such paths are refused, never
// followed.

#include <QString>

namespace dravilo {

// Why `folder` (or the part of it that exists so far) is not the user's
// alone: a link on the way that another user made, a folder on the way that
// others may change, or the folder itself another user's or writable by
// others. Empty when it is safe to keep files in.
QString NotOwnFolder(const QString& folder);

// Why `path` is a link another user made in a folder that is not the
// user's alone (a shared /tmp, another user's folder), a link the program
// must not follow; empty when it is not.
QString PlantedLink(const QString& path);

}  // namespace dravilo
