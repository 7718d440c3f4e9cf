#include "host/control_channel.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>

#include "host/stdio_stream.h"
#include <QTimer>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/un.h>
#include <unistd.h>

#include "host/fd_stream.h"
#endif

namespace dravilo {

#ifdef Q_OS_WIN

namespace {

// A client on a named pipe, through Qt's own buffering.
class LocalSocketStream : public ControlStream {
public:
    explicit LocalSocketStream(QLocalSocket* socket) : socket_(socket)
    {
        const auto tell = [this] {
            if (changed)
                changed();
        };
        QObject::connect(socket_, &QLocalSocket::readyRead, tell);
        QObject::connect(socket_, &QLocalSocket::bytesWritten, tell);
        QObject::connect(socket_, &QLocalSocket::disconnected, tell);
    }
    ~LocalSocketStream() override { socket_->deleteLater(); }

    QByteArray read(qint64 most) override { return socket_->read(most); }
    bool inputEnded() const override { return socket_->state() != QLocalSocket::ConnectedState; }
    void setReading(bool) override {}
    void write(const QByteArray& bytes) override { socket_->write(bytes); }
    qint64 unsent() const override { return socket_->bytesToWrite(); }
    bool broken() const override { return socket_->state() == QLocalSocket::UnconnectedState; }

private:
    QLocalSocket* socket_;
};

}  // namespace

#endif

// Takes each new client as it comes: on Unix its socket descriptor itself,
// so that a client that stops sending can still be answered.
class ControlChannel::Server : public QLocalServer {
public:
    explicit Server(ControlChannel& channel) : channel_(channel) {}

protected:
    void incomingConnection(quintptr descriptor) override
    {
#ifdef Q_OS_UNIX
        const int fd = int(descriptor);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        channel_.serve(std::make_unique<FdStream>(fd, fd, true));
#else
        QLocalServer::incomingConnection(descriptor);
        while (QLocalSocket* client = nextPendingConnection())
            channel_.serve(std::make_unique<LocalSocketStream>(client));
#endif
    }

private:
    ControlChannel& channel_;
};

ControlChannel::ControlChannel(ControlSession::Run run) : run_(std::move(run)) {}

ControlChannel::~ControlChannel() = default;

void ControlChannel::serve(std::unique_ptr<ControlStream> stream)
{
    const auto session = std::make_shared<ControlSession>(std::move(stream), run_);
    sessions_.push_back(session);
    std::weak_ptr<ControlSession> weak = session;
    session->start([this, weak] {
        // Let go once the event that ended it is over: it may be inside its own call.
        QTimer::singleShot(0, &lifetime_, [this, weak] {
            std::erase_if(sessions_, [&weak](const auto& s) { return s == weak.lock(); });
        });
    });
}

bool ControlChannel::listen(const QString& path, QString& error)
{
    if (path == QLatin1String("-")) {
        serve(MakeStdioStream(true));
        return true;
    }
#ifdef Q_OS_UNIX
    // A local socket's address has room for so many bytes, and no more.
    constexpr qsizetype longest = sizeof(sockaddr_un::sun_path) - 1;
    if (QFile::encodeName(path).size() > longest) {
        error = QStringLiteral("%1 is longer than a local socket's address may be (%2 bytes); give a shorter path")
                    .arg(path)
                    .arg(longest);
        return false;
    }
#endif
#ifdef Q_OS_WIN
    // A named pipe is no file: its lock goes to the temporary folder, not
    // the folder the emulator was started in.
    const QString name = QString(path).replace(u'\\', u'_').replace(u'/', u'_');
    claim_ = PathClaim::take(path, PathClaim::Leftover::Socket, error,
                             QDir::tempPath() + QStringLiteral("/dravilo-%1.lock").arg(name));
#else
    claim_ = PathClaim::take(path, PathClaim::Leftover::Socket, error);
#endif
    if (!claim_)
        return false;
    server_ = std::make_unique<Server>(*this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        error = QStringLiteral("%1: %2").arg(path, server_->errorString());
        server_.reset();
        claim_.reset();
        return false;
    }
    return true;
}

}  // namespace dravilo
