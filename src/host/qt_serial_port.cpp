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
        const QByteArray arrived = port_.readAll();
        keepArrived(received_, arrived.constData(), arrived.size());
        raise(comEvReceive);
    });
    linesWatch_.setInterval(500);
    QObject::connect(&linesWatch_, &QTimer::timeout, [this] {
        const QSerialPort::PinoutSignals now = port_.pinoutSignals();
        if (now != std::exchange(lines_, now))
            raise(comEvCTS);
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

PortResult QtSerialPort::applySettings(const QString& device)
{
    const LineSettings& settings = lineSettings();
    const bool framed = port_.setDataBits(QSerialPort::DataBits(settings.dataBits)) &&
                        port_.setParity(parityOf(settings.parity)) &&
                        port_.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    // A pseudo-terminal carries bytes, not bits on a wire: Linux refuses some
    // framings on it, which a host on the other end could never notice.
    const bool pseudoTerminal = QFileInfo(device).canonicalFilePath().startsWith(QLatin1String("/dev/pts/"));
    if (port_.setBaudRate(settings.baudRate) && (framed || pseudoTerminal) &&
        port_.setFlowControl(QSerialPort::NoFlowControl))
        return {};
    return {port_.errorString()};
}

PortResult QtSerialPort::setPortOpen(bool open)
{
    if (!open) {
        linesWatch_.stop();
        if (port_.isOpen())
            port_.close();
        received_.clear();
        return {};
    }
    if (port_.isOpen())
        return {QStringLiteral("Port already open")};
    const QString device = PortDevice(commPort(), programFolder_());
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite))
        return {QStringLiteral("COM%1 (%2): %3").arg(commPort()).arg(device, port_.errorString())};
    PortResult applied = applySettings(device);
    if (!applied.ok()) {
        port_.close();
        applied.error = QStringLiteral("COM%1 (%2): %3").arg(commPort()).arg(device, applied.error);
        return applied;
    }
    lines_ = port_.pinoutSignals();
    linesWatch_.start();
    return applied;
}

PortResult QtSerialPort::output(const QByteArray& bytes)
{
    if (!port_.isOpen())
        return NotWhileClosed();
    if (port_.bytesToWrite() + bytes.size() > kMostWaitingOutput)
        return {QStringLiteral("Output buffer full")};
    if (port_.write(bytes) != bytes.size())
        return {port_.errorString()};
    port_.flush();  // on the line now, not when the event loop next turns
    return {};
}

QByteArray QtSerialPort::input() { return std::exchange(received_, {}); }

QString QtSerialPort::controlLines() const
{
    if (!port_.isOpen())
        return {};
    const auto on = [this](QSerialPort::PinoutSignal line) {
        return lines_.testFlag(line) ? QStringLiteral("on") : QStringLiteral("off");
    };
    return QStringLiteral("CTS %1, DSR %2, DCD %3")
        .arg(on(QSerialPort::ClearToSendSignal), on(QSerialPort::DataSetReadySignal),
             on(QSerialPort::DataCarrierDetectSignal));
}

}  // namespace dravilo
