#include "host/system_port.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

#include "host/device_port.h"
#include "host/port_device.h"

namespace dravilo {

namespace {

// The device the link ports/COMn names, or the link's own path where it
// names none; the virtual port path where that is what it names.
QString linkTarget(const QString& device)
{
    const QFileInfo info(device);
    return info.isSymLink() ? QFile::symLinkTarget(device) : device;
}

}  // namespace

std::unique_ptr<SerialPort> MakeDevicePort(std::function<QString()> programFolder)
{
    return std::make_unique<SystemPort>(std::move(programFolder));
}

SystemPort::SystemPort(std::function<QString()> programFolder)
    : programFolder_(programFolder), device_(std::move(programFolder))
{
    pass(device_);
}

void SystemPort::pass(SerialPort& port)
{
    port.onComm = [this] {
        if (onComm)
            onComm();
    };
    port.onReport = [this](const QString& what) {
        if (onReport)
            onReport(what);
    };
}

PortResult SystemPort::setCommPort(int number)
{
    if (virtual_)
        return NotWhileOpen();
    return device_.setCommPort(number);
}

PortResult SystemPort::setSettings(const QString& settings)
{
    if (virtual_)
        return NotWhileOpen();
    return device_.setSettings(settings);
}

PortResult SystemPort::setPortOpen(bool open)
{
    if (!open) {
        if (!virtual_)
            return device_.setPortOpen(false);
        virtual_.reset();  // its link goes with it: no host meets a line nobody serves
        return {};
    }
    if (portOpen())
        return {QStringLiteral("Port already open")};
    const int number = commPort();
    const QString path = VirtualPortPath(number);
    if (linkTarget(PortDevice(number, programFolder_())) != path)
        return device_.setPortOpen(true);
    // The user's own runtime folder, for the user alone.
    const QString folder = QFileInfo(path).path();
    if (QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QString error;
    std::unique_ptr<PtySerialPort> pty = PtySerialPort::create(path, error);
    if (!pty)
        return {QStringLiteral("COM%1 (virtual port %2): %3").arg(number).arg(path, error)};
    pty->setCommPort(number);
    pty->setSettings(settings());
    pass(*pty);
    const PortResult opened = pty->setPortOpen(true);
    if (opened.ok())
        virtual_ = std::move(pty);
    return opened;
}

QString SystemPort::lineDescription() const
{
    const int number = commPort();
    const QString target = linkTarget(PortDevice(number, programFolder_()));
    if (target == VirtualPortPath(number))
        return QStringLiteral("COM%1 → virtual port %2").arg(number).arg(target);
    const QString lines = device_.controlLines();
    return QStringLiteral("COM%1 → %2%3").arg(number).arg(target, lines.isEmpty() ? QString() : QStringLiteral("; ") + lines);
}

QStringList SystemPort::devicesPresent() const
{
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    std::sort(devices.begin(), devices.end());
    return devices << kVirtualDevice;
}

QString SystemPort::deviceChosen() const
{
    const int number = commPort();
    const QString target = linkTarget(PortDevice(number, programFolder_()));
    return target == VirtualPortPath(number) ? kVirtualDevice : target;
}

PortResult SystemPort::chooseDevice(int& number, const QString& device)
{
    if (device != kVirtualDevice && !devicesPresent().contains(device))
        return {QStringLiteral("%1 is not present").arg(device)};
    const QString target = device == kVirtualDevice ? VirtualPortPath(number) : device;
    return {LinkPortDevice(programFolder_(), number, target)};
}

}  // namespace dravilo
