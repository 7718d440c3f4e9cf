#include "ui/qt/control_channel.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace dravilo {

namespace {

constexpr qsizetype kLongestLine = 4096;

}  // namespace

std::vector<std::optional<QByteArray>> LineSplitter::feed(const QByteArray& bytes)
{
    std::vector<std::optional<QByteArray>> lines;
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = bytes.indexOf('\n', from);
        const QByteArray piece = bytes.mid(from, end < 0 ? -1 : end - from);
        if (!overlong_) {
            partial_ += piece;
            if (partial_.size() > kLongestLine) {
                overlong_ = true;
                partial_.clear();
                lines.emplace_back(std::nullopt);
            }
        }
        if (end < 0)
            return lines;
        if (!overlong_)
            lines.emplace_back(std::exchange(partial_, {}));
        overlong_ = false;
        from = end + 1;
    }
}

ControlChannel::ControlChannel(Run run) : run_(std::move(run))
{
    QObject::connect(&server_, &QLocalServer::newConnection, [this] {
        while (QLocalSocket* client = server_.nextPendingConnection())
            serve(client);
    });
}

QByteArray ControlChannel::answers(LineSplitter& lines, const QByteArray& arrived)
{
    QByteArray out;
    for (const std::optional<QByteArray>& line : lines.feed(arrived)) {
        const QString answer = line ? run_(QString::fromUtf8(line->endsWith('\r') ? line->chopped(1) : *line))
                                    : QStringLiteral("error: line longer than %1 bytes").arg(kLongestLine);
        out += answer.toUtf8() + '\n';
    }
    return out;
}

void ControlChannel::serve(QLocalSocket* client)
{
    // Each client has its own partial line; a client that goes away mid-line
    // takes that part with it.
    auto lines = std::make_shared<LineSplitter>();
    QObject::connect(client, &QLocalSocket::readyRead, client, [this, client, lines] {
        client->write(answers(*lines, client->readAll()));
    });
    QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
}

bool ControlChannel::listen(const QString& path, QString& error)
{
    if (path == QLatin1String("-")) {
#ifdef Q_OS_UNIX
        input_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(input_.get(), &QSocketNotifier::activated, [this] {
            char buffer[4096];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {  // the end of the input: the emulator runs on without it
                input_->setEnabled(false);
                return;
            }
            const QByteArray out = answers(inputLines_, QByteArray(buffer, n));
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
            std::fflush(stdout);
        });
        return true;
#else
        error = QStringLiteral("commands from standard input need a POSIX system; use a socket path");
        return false;
#endif
    }
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(500)) {
        error = QStringLiteral("%1 is served by a running emulator").arg(path);
        return false;
    }
    QLocalServer::removeServer(path);  // a socket left by a run that was killed
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path)) {
        error = QStringLiteral("%1: %2").arg(path, server_.errorString());
        return false;
    }
    return true;
}

}  // namespace dravilo
