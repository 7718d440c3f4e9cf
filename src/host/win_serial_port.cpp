#include "host/win_serial_port.h"

#include <QSettings>

#include "host/device_port.h"
#include "host/port_device.h"

#include <algorithm>
#include <utility>

namespace dravilo {

namespace {

BYTE parityOf(QChar letter)
{
    switch (letter.unicode()) {
    case u'e': return EVENPARITY;
    case u'o': return ODDPARITY;
    case u's': return SPACEPARITY;
    case u'm': return MARKPARITY;
    default: return NOPARITY;
    }
}

QString lastError() { return qt_error_string(int(GetLastError())); }

}  // namespace

std::unique_ptr<SerialPort> MakeDevicePort(std::function<QString()> programFolder)
{
    return std::make_unique<WinSerialPort>(std::move(programFolder));
}

QStringList WinSerialPort::devicesPresent() const
{
    // The system keeps its serial ports' names under this key, a value each.
    const QSettings ports(QStringLiteral("HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM"),
                          QSettings::NativeFormat);
    QList<int> numbers;
    for (const QString& key : ports.childKeys()) {
        const QString name = ports.value(key).toString();
        bool ok = false;
        const int number = name.mid(3).toInt(&ok);
        if (name.startsWith(QLatin1String("COM")) && ok && IsPortNumber(number))
            numbers << number;
    }
    std::sort(numbers.begin(), numbers.end());
    QStringList devices;
    for (const int number : numbers)
        devices << QStringLiteral("COM%1").arg(number);
    return devices;
}

PortResult WinSerialPort::chooseDevice(int& number, const QString& device)
{
    if (!devicesPresent().contains(device))
        return {QStringLiteral("%1 is not present").arg(device)};
    number = device.mid(3).toInt();
    return {};
}

WinSerialPort::WinSerialPort(std::function<QString()> programFolder) : programFolder_(std::move(programFolder))
{
    for (Transfer* transfer : {&read_, &write_}) {
        transfer->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        transfer->notifier.setHandle(transfer->overlapped.hEvent);
    }
    QObject::connect(&read_.notifier, &QWinEventNotifier::activated, [this] { readDone(); });
    QObject::connect(&write_.notifier, &QWinEventNotifier::activated, [this] { writeDone(); });
}

WinSerialPort::~WinSerialPort()
{
    close();
    for (Transfer* transfer : {&read_, &write_}) {
        transfer->notifier.setEnabled(false);
        CloseHandle(transfer->overlapped.hEvent);
    }
}

PortResult WinSerialPort::applySettings()
{
    const LineSettings& settings = lineSettings();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb))
        return {lastError()};
    dcb.BaudRate = DWORD(settings.baudRate);
    dcb.ByteSize = BYTE(settings.dataBits);
    dcb.Parity = parityOf(settings.parity);
    dcb.StopBits = settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = dcb.Parity != NOPARITY;
    // No handshake: a terminal sends whether or not the host is ready. DTR
    // and RTS stay on, as a device that is there and ready shows itself.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;  // NUL bytes are data: the price digits carry them
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(handle_, &dcb))
        return {lastError()};
    // No timeouts: a read ends when it has its count (see startRead).
    COMMTIMEOUTS timeouts{};
    if (!SetCommTimeouts(handle_, &timeouts))
        return {lastError()};
    return {};
}

PortResult WinSerialPort::setPortOpen(bool open)
{
    if (!open) {
        close();
        return {};
    }
    if (portOpen())
        return {QStringLiteral("Port already open")};
    const QString device = PortDevice(commPort(), programFolder_());
    const auto failed = [&](const QString& why) {
        close();
        return PortResult{QStringLiteral("COM%1 (%2): %3").arg(commPort()).arg(device, why)};
    };
    const QString path = QStringLiteral("\\\\.\\") + device;
    handle_ = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        return failed(lastError());
    if (const PortResult applied = applySettings(); !applied.ok())
        return failed(applied.error);
    PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
    read_.notifier.setEnabled(true);
    write_.notifier.setEnabled(true);
    if (!startRead())
        return failed(lastError());
    return {};
}

// What is in flight is cancelled and waited for: the system writes into our
// buffers until it says it has stopped.
void WinSerialPort::close()
{
    if (!portOpen())
        return;
    for (Transfer* transfer : {&read_, &write_}) {
        if (transfer->busy) {
            CancelIoEx(handle_, &transfer->overlapped);
            DWORD ignored = 0;
            GetOverlappedResult(handle_, &transfer->overlapped, &ignored, TRUE);
            transfer->busy = false;
        }
        transfer->notifier.setEnabled(false);
        ResetEvent(transfer->overlapped.hEvent);
    }
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    writing_.clear();
    waiting_.clear();
    received_.clear();
}

// A read asks for what is waiting, or for one byte when nothing is: it ends
// as soon as the first byte of a request comes, with no timer in between.
// Reading the count also clears a framing or overrun error, which would
// otherwise stop the port.
bool WinSerialPort::startRead()
{
    DWORD errors = 0;
    COMSTAT status{};
    const DWORD waiting = ClearCommError(handle_, &errors, &status) ? status.cbInQue : 0;
    const DWORD count = std::clamp<DWORD>(waiting, 1, sizeof readBuffer_);
    read_.busy = ReadFile(handle_, readBuffer_, count, nullptr, &read_.overlapped) || GetLastError() == ERROR_IO_PENDING;
    return read_.busy;
}

void WinSerialPort::readDone()
{
    if (!read_.busy)
        return;
    DWORD count = 0;
    const bool done = GetOverlappedResult(handle_, &read_.overlapped, &count, FALSE);
    if (!done && GetLastError() == ERROR_IO_INCOMPLETE)
        return;
    ResetEvent(read_.overlapped.hEvent);
    read_.busy = false;
    if (done)
        keepArrived(received_, readBuffer_, qsizetype(count));
    // The next read is under way before the program hears of this one: the
    // handler may send, close or even reopen the port.
    if (!done || !startRead()) {
        lose();
        return;
    }
    raise(comEvReceive);
}

PortResult WinSerialPort::output(const QByteArray& bytes)
{
    if (!portOpen())
        return NotWhileClosed();
    if (writing_.size() + waiting_.size() + bytes.size() > kMostWaitingOutput)
        return {QStringLiteral("Output buffer full")};
    waiting_ += bytes;
    // A device that refuses the write at once is gone; the read that is
    // under way ends too, and says so on the event loop.
    if (!write_.busy && !startWrite()) {
        writing_.clear();
        return {lastError()};
    }
    return {};
}

bool WinSerialPort::startWrite()
{
    writing_ = std::exchange(waiting_, {});
    write_.busy = WriteFile(handle_, writing_.constData(), DWORD(writing_.size()), nullptr, &write_.overlapped) ||
                  GetLastError() == ERROR_IO_PENDING;
    return write_.busy;
}

void WinSerialPort::writeDone()
{
    if (!write_.busy)
        return;
    DWORD count = 0;
    const bool done = GetOverlappedResult(handle_, &write_.overlapped, &count, FALSE);
    if (!done && GetLastError() == ERROR_IO_INCOMPLETE)
        return;
    ResetEvent(write_.overlapped.hEvent);
    write_.busy = false;
    if (done) {
        // A write that ran out part-way leaves the rest first in line.
        waiting_.prepend(writing_.mid(qsizetype(count)));
        writing_.clear();
    }
    if (!done || (!waiting_.isEmpty() && !startWrite()))
        lose();
}

// The device went away (unplugged, or its other end closed): the port is
// closed, and the program is told.
void WinSerialPort::lose()
{
    close();
    raise(comEventPortLost);
}

void WinSerialPort::raise(int event)
{
    event_ = event;
    if (onComm)
        onComm();
}

QByteArray WinSerialPort::input() { return std::exchange(received_, {}); }

}  // namespace dravilo
