#include "host/qt_serial_port.h"

#include "host/port_device.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace dravilo {

namespace {

constexpr qint64 kMostWaitingOutput = 4096;
constexpr qsizetype kReceiveBufferSize = 65536;

QSerialPort::Parity parityOf(QChar letter)
{
    switch (letter.unicode()) {
    case u'e': return QSerialPort::EvenParity;
    case u'o': return QSerialPort::OddParity;
    case u's': return QSerialPort::SpaceParity;
    case u'm': return QSerialPort::MarkParity;
    default: return QSerialPort::NoParity;
    }
}

}  // namespace

QtSerialPort::QtSerialPort(std::function<QString()> programFolder) : programFolder_(std::move(programFolder))
{
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
        // Bytes nobody reads (a ZELM-1 terminal reads none) wait here, up to
        // a bound: past it newer bytes are lost, as in a receiver overrun.
        const QByteArray arrived = port_.readAll();
        received_ += arrived.left(std::max<qsizetype>(0, kReceiveBufferSize - received_.size()));
        raise(comEvReceive);
    });
    QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) {
        // A device that is unplugged, or a pseudo-terminal whose other end has
        // closed, fails every read from then on: close it and say so.
        if (port_.isOpen() && (e == QSerialPort::ResourceError || e == QSerialPort::ReadError) &&
            deviceGone()) {
            port_.close();
            raise(comEventPortLost);
        }
    });
}

// Qt reports a full output queue with the same error as a vanished device;
// only the device itself can tell them apart.
bool QtSerialPort::deviceGone()
{
#ifdef Q_OS_UNIX
    pollfd p{int(port_.handle()), POLLIN | POLLOUT, 0};
    return ::poll(&p, 1, 0) < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL));
#else
    return true;
#endif
}

void QtSerialPort::raise(int event)
{
    event_ = event;
    if (onComm)
        onComm();
}

PortResult QtSerialPort::setCommPort(int number)
{
    if (port_.isOpen())
        return NotWhileOpen();
    if (!IsPortNumber(number))
        return {QStringLiteral("Invalid port number")};
    number_ = number;
    return {};
}

PortResult QtSerialPort::setSettings(const QString& text)
{
    if (port_.isOpen())
        return NotWhileOpen();
    const std::optional<LineSettings> parsed = ParseLineSettings(text);
    if (!parsed)
        return InvalidSetting(text);
    settings_ = *parsed;
    return {};
}

PortResult QtSerialPort::applySettings(const QString& device)
{
    const bool framed = port_.setDataBits(QSerialPort::DataBits(settings_.dataBits)) &&
                        port_.setParity(parityOf(settings_.parity)) &&
                        port_.setStopBits(settings_.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    // A pseudo-terminal carries bytes, not bits on a wire: Linux refuses some
    // framings on it, which a host on the other end could never notice.
    const bool pseudoTerminal = QFileInfo(device).canonicalFilePath().startsWith(QLatin1String("/dev/pts/"));
    if (port_.setBaudRate(settings_.baudRate) && (framed || pseudoTerminal) &&
        port_.setFlowControl(QSerialPort::NoFlowControl))
        return {};
    return {port_.errorString()};
}

PortResult QtSerialPort::setPortOpen(bool open)
{
    if (!open) {
        if (port_.isOpen())
            port_.close();
        received_.clear();
        return {};
    }
    if (port_.isOpen())
        return {QStringLiteral("Port already open")};
    const QString device = PortDevice(number_, programFolder_());
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite))
        return {QStringLiteral("COM%1 (%2): %3").arg(number_).arg(device, port_.errorString())};
    PortResult applied = applySettings(device);
    if (!applied.ok()) {
        port_.close();
        applied.error = QStringLiteral("COM%1 (%2): %3").arg(number_).arg(device, applied.error);
    }
    return applied;
}

PortResult QtSerialPort::output(const QByteArray& bytes)
{
    if (!port_.isOpen())
        return NotWhileClosed();
    // A line slower than the frames, or a host that does not read, must not
    // pile them up without end: what does not fit is dropped.
    if (port_.bytesToWrite() + bytes.size() > kMostWaitingOutput)
        return {QStringLiteral("Output buffer full")};
    if (port_.write(bytes) != bytes.size())
        return {port_.errorString()};
    port_.flush();  // on the line now, not when the event loop next turns
    return {};
}

QByteArray QtSerialPort::input() { return std::exchange(received_, {}); }

}  // namespace dravilo
