#include "host/network_serial_port.h"

#include <QTimer>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace dravilo {

namespace {

// A host that closed its side gets what waits for it; one that does not
// take it within this time is dropped, so that the next may connect.
constexpr int kClosingGraceMs = 5000;
// What is read from a host at one turn of the event loop: a host that
// floods the line must not starve the send timer or the control channel.
constexpr qint64 kReadSlice = 4096;
// What waits unread on this side; beyond it the host's sending waits in turn.
constexpr qint64 kReadBuffer = 4 * kReadSlice;
// How often a host's socket is read to see whether it has gone, when the
// next one connects: more would be a host that is sending, not leaving.
constexpr int kMostLooksForLeaving = 8;

QString nameOf(const QHostAddress& address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

}  // namespace

std::unique_ptr<NetworkSerialPort> NetworkSerialPort::listen(const QString& where, Protocol protocol, QString& error)
{
    const qsizetype colon = where.lastIndexOf(u':');
    QString host = colon < 0 ? QStringLiteral("127.0.0.1") : where.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    bool isNumber = false;
    const uint port = where.mid(colon + 1).toUInt(&isNumber);
    QHostAddress address;
    if (!isNumber || port > 65535 || !address.setAddress(host)) {
        error = QStringLiteral("give [ADDRESS:]PORT, such as 4001, 0.0.0.0:4001 or [::1]:4001");
        return nullptr;
    }
    std::unique_ptr<NetworkSerialPort> line(new NetworkSerialPort(protocol));
    if (!line->server_.listen(address, quint16(port))) {
        error = line->server_.errorString();
        return nullptr;
    }
    QObject::connect(&line->server_, &QTcpServer::newConnection, [raw = line.get()] { raw->accept(); });
    return line;
}

NetworkSerialPort::~NetworkSerialPort()
{
    letGoOfCopy();
    if (host_)  // its going is no event: whoever would hear of it may be gone already
        host_->disconnect();
}

QString NetworkSerialPort::address() const { return nameOf(server_.serverAddress(), server_.serverPort()); }

bool NetworkSerialPort::reachableFromOutside() const { return !server_.serverAddress().isLoopback(); }

QString NetworkSerialPort::notOpenReason() const
{
    return open_ && !host_ ? QStringLiteral("waiting for a host on %1").arg(address()) : QString();
}

bool NetworkSerialPort::hostStillThere()
{
    // A host that closed its end just before the next one connected is
    // seen leaving only once its socket is read: read it now, so that a test
    // suite that connects anew for each test is never refused.
    for (int look = 0; host_ && host_->state() == QAbstractSocket::ConnectedState && look < kMostLooksForLeaving;
         ++look)
        if (!host_->waitForReadyRead(0))
            break;
    if (host_ && host_->state() != QAbstractSocket::ConnectedState)
        hostLeft();  // it closed its end: what still waits for it goes with it
    return host_ != nullptr;
}

std::optional<UartFraming> NetworkSerialPort::hostFraming() const
{
    // Only a host on RFC 2217 tells its end; a raw one is taken to agree.
    if (!telnet_)
        return std::nullopt;
    return telnet_->hostFraming();
}

QString NetworkSerialPort::lineDescription() const
{
    const QString line = QStringLiteral("%1 %2").arg(protocol_ == Protocol::Raw ? "TCP" : "RFC 2217", address());
    if (!host_)
        return QStringLiteral("%1, no host connected").arg(line);
    const QString connected = QStringLiteral("%1, host %2 connected").arg(line, hostName_);
    return telnet_ ? QStringLiteral("%1; its %2").arg(connected, telnet_->hostControl()) : connected;
}

void NetworkSerialPort::accept()
{
    while (QTcpSocket* client = server_.nextPendingConnection()) {
        const QString name = nameOf(client->peerAddress(), client->peerPort());
        if (hostStillThere()) {
            client->abort();
            client->deleteLater();
            report(QStringLiteral("host %1 refused: %2 has the line").arg(name, hostName_));
            continue;
        }
        host_ = client;
        hostName_ = name;
        host_->setSocketOption(QAbstractSocket::LowDelayOption, 1);  // a reply is not held back for more
        host_->setReadBufferSize(kReadBuffer);
        // Not more in the kernel than a serial component would hold.
        host_->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, int(kMostWaitingOutput));
#ifdef Q_OS_UNIX
        // Qt closes a socket whose host closed its sending end at once; a
        // copy keeps it for the answers still on their way (the line's pace).
        letGoOfCopy();
        closingFd_ = ::fcntl(int(host_->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
#endif
        QObject::connect(host_, &QTcpSocket::readyRead, [this] { readArrived(); });
        QObject::connect(host_, &QTcpSocket::disconnected, [this] { hostLeft(); });
        QObject::connect(host_, &QTcpSocket::stateChanged, [this, socket = host_](QAbstractSocket::SocketState state) {
            if (state != QAbstractSocket::ClosingState)
                return;
            QTimer::singleShot(kClosingGraceMs, socket, [socket] { socket->abort(); });
            // What is on its way to a host that closed its end goes out now,
            // then the copy of its socket lets go as well.
            raise(comEvHostClosing);
            letGoOfCopy();
        });
        received_.clear();
        moreToRead_ = false;
        if (protocol_ == Protocol::Rfc2217) {
            telnet_.emplace(lineSettings());
            send(TelnetComPort::greeting());
        }
        report(QStringLiteral("host %1 connected").arg(hostName_));
        raise(comEvCD);
    }
}

void NetworkSerialPort::letGoOfCopy()
{
#ifdef Q_OS_UNIX
    if (closingFd_ >= 0)
        ::close(std::exchange(closingFd_, -1));
#endif
}

void NetworkSerialPort::hostLeft()
{
    letGoOfCopy();
    QTcpSocket* gone = std::exchange(host_, nullptr);
    if (!gone)
        return;
    gone->disconnect();
    gone->abort();
    gone->deleteLater();
    telnet_.reset();
    received_.clear();  // what the host left unread is not for the next one
    report(QStringLiteral("host %1 left").arg(hostName_));
    raise(comEvCD);
}

void NetworkSerialPort::readArrived()
{
    if (!host_)
        return;
    QByteArray data = host_->read(kReadSlice);
    if (host_->bytesAvailable() > 0 && !moreToRead_) {
        // The rest at the next turn, after whatever else is due.
        moreToRead_ = true;
        QTimer::singleShot(0, host_, [this] {
            moreToRead_ = false;
            readArrived();
        });
    }
    if (telnet_) {
        TelnetComPort::Decoded decoded = telnet_->decode(data);
        send(decoded.answer);
        for (const QString& note : std::as_const(decoded.notes))
            report(note);
        if (decoded.purgeSent)
            received_.clear();
        if (decoded.controlSet) {
            report(QStringLiteral("the host set %1").arg(telnet_->hostControl()));
            raise(comEvDSR);  // its DTR and RTS are the terminal's DSR and CTS
        }
        if (decoded.lineSet) {
            const QString line = telnet_->hostLine();
            report(line == settings()
                       ? QStringLiteral("the host set its line to %1, as the terminal's").arg(line)
                       : QStringLiteral("the host set its line to %1; the terminal's is %2").arg(line, settings()));
        }
        data = std::move(decoded.data);
    }
    if (!open_ || data.isEmpty())  // a closed port reads nothing
        return;
    keepArrived(received_, data.constData(), data.size());
    raise(comEvReceive);
}

bool NetworkSerialPort::send(const QByteArray& wire)
{
    if (wire.isEmpty())
        return true;
#ifdef Q_OS_UNIX
    // A host that closed its end while answers were on their way: Qt has let
    // go of the socket by now, but the copy kept of it still reaches the host.
    if (closingFd_ >= 0 && host_->state() != QAbstractSocket::ConnectedState) {
        const ssize_t n = ::send(closingFd_, wire.constData(), size_t(wire.size()), MSG_DONTWAIT | MSG_NOSIGNAL);
        return n == wire.size();
    }
#endif
    if (host_->bytesToWrite() + wire.size() > kMostWaitingOutput)
        return false;
    host_->write(wire);
    host_->flush();  // on the network now, not when the event loop next turns; never waits
    return true;
}

PortResult NetworkSerialPort::setPortOpen(bool open)
{
    // A host may connect between the program's closing, skipped while none
    // was there, and its opening: the line is then open already, as asked.
    open_ = open;
    received_.clear();
    return {};
}

PortResult NetworkSerialPort::output(const QByteArray& bytes)
{
    if (!open_)
        return NotWhileClosed();
    if (!host_)
        return {notOpenReason()};
    if (!send(telnet_ ? TelnetComPort::encode(bytes) : bytes))
        return {QStringLiteral("Output buffer full")};
    return {};
}

QByteArray NetworkSerialPort::input() { return std::exchange(received_, {}); }

void NetworkSerialPort::raise(int event)
{
    event_ = event;
    if (onComm)
        onComm();
}

void NetworkSerialPort::report(const QString& what)
{
    if (onReport)
        onReport(what);
}

}  // namespace dravilo
