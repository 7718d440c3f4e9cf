#pragma once

// The control channel's transport: a local socket (a Unix socket, or a named
// pipe on Windows) that only its owner may use, or standard input for "-".
// Every line in gets one answer line out.

#include <QByteArray>
#include <QLocalServer>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace dravilo {

// Splits arriving bytes into lines. A line longer than the limit is no
// command: it comes out once as nothing, and its rest is skipped.
class LineSplitter {
public:
    std::vector<std::optional<QByteArray>> feed(const QByteArray& bytes);

private:
    QByteArray partial_;
    bool overlong_ = false;
};

class ControlChannel {
public:
    using Run = std::function<QString(const QString& line)>;
    explicit ControlChannel(Run run);

    // False, with the reason, when the channel cannot be opened: among others a
    // socket that a running emulator still serves, which is not taken from it.
    bool listen(const QString& path, QString& error);

private:
    void serve(QLocalSocket* client);
    QByteArray answers(LineSplitter& lines, const QByteArray& arrived);

    Run run_;
    QLocalServer server_;
    std::unique_ptr<QSocketNotifier> input_;
    LineSplitter inputLines_;
};

}  // namespace dravilo
