#pragma once

// A serial port in memory: the test plays the host on the other end.

#include <QByteArray>
#include <QList>

#include "port/serial_port.h"

namespace dravilo::test {

class FakePort : public SerialPort {
public:
    bool deviceMissing = false;  // opening fails as for an absent device

    PortResult setCommPort(int number) override
    {
        if (open_)
            return {QStringLiteral("port is open")};
        number_ = number;
        return {};
    }
    int commPort() const override { return number_; }
    PortResult setSettings(const QString& s) override
    {
        if (open_)
            return {QStringLiteral("port is open")};
        settings_ = s;
        return {};
    }
    QString settings() const override { return settings_; }
    PortResult setPortOpen(bool open) override
    {
        if (open && deviceMissing)
            return {QStringLiteral("no such device")};
        open_ = open;
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

private:
    int number_ = 0;
    QString settings_;
    bool open_ = false;
    QByteArray buffer_;
    int event_ = 0;
};

}  // namespace dravilo::test
