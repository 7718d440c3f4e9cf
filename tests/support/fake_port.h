#pragma once

// A serial port in memory: the test plays the host on the other end. It takes
// or refuses a port number and a settings text exactly as the real port does.

#include <QByteArray>
#include <QList>
#include <QSet>

#include "base/configured_port.h"

namespace dravilo::test {

class FakePort : public ConfiguredPort {
public:
    QSet<int> missing;  // port numbers whose device is absent
    std::function<void()> onClose;  // for tests of what happens before and after

    PortResult setPortOpen(bool open) override
    {
        if (open && open_)
            return {QStringLiteral("Port already open")};
        if (open && missing.contains(commPort()))
            return {QStringLiteral("no such device")};
        open_ = open;
        ++(open ? opened : closed);
        if (!open && onClose)
            onClose();
        return {};
    }
    bool portOpen() const override { return open_; }
    PortResult output(const QByteArray& bytes) override
    {
        if (!open_)
            return {QStringLiteral("port is closed")};
        sent.append(bytes);
        return {};
    }
    QByteArray input() override
    {
        QByteArray waiting = buffer_;
        buffer_.clear();
        return waiting;
    }
    int commEvent() const override { return event_; }
    QString lineDescription() const override { return QStringLiteral("COM%1 → %2").arg(commPort()).arg(chosen); }
    QStringList devicesPresent() const override { return devices; }
    QString deviceChosen() const override { return chosen; }
    PortResult chooseDevice(int& number, const QString& device) override
    {
        if (!refusal.isEmpty())
            return {refusal};
        chosen = device;
        if (renumbers)  // as on Windows, where the device is the number
            number = int(device.mid(3).toInt());
        return {};
    }

    QStringList devices;  // the devices a person may choose from
    QString chosen;       // the device chosen last
    QString refusal;      // why a choice is refused, if it is
    bool renumbers = false;

    // The host sends bytes: they wait in the buffer and the event is raised.
    void receive(const QByteArray& bytes)
    {
        buffer_ += bytes;
        raise(comEvReceive);
    }
    void raise(int event)
    {
        event_ = event;
        if (onComm)
            onComm();
    }
    // The device goes away while open.
    void lose()
    {
        open_ = false;
        raise(comEventPortLost);
    }
    QByteArray waiting() const { return buffer_; }
    // Everything written since the last call, joined.
    QByteArray takeSent()
    {
        QByteArray all = sent.join();
        sent.clear();
        return all;
    }

    QList<QByteArray> sent;  // one entry per write
    int opened = 0, closed = 0;  // successful openings and closings

private:
    bool open_ = false;
    QByteArray buffer_;
    int event_ = 0;
};

}  // namespace dravilo::test
