#pragma once

// A serial line on a pseudo-terminal the program makes itself: it keeps the
// master end and, once the line is first opened, links a path to the slave
// end, which a host program opens as it would open any serial port. No
// null-modem driver is needed.
//
// Like a real line, it keeps nothing for a host that is not there: while no
// host has the slave end open, what the terminal sends is discarded, and
// what a host left unread when it closed is gone for the next one.

#include <QByteArray>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

#include "base/configured_port.h"
#include "host/path_claim.h"

namespace dravilo {

class PtySerialPort : public ConfiguredPort {
public:
    // Nothing where no pseudo-terminal can be made or `link` cannot be
    // claimed; `error` then says why.
    static std::unique_ptr<PtySerialPort> create(const QString& link, QString& error);
    ~PtySerialPort() override;  // the master closed, the link removed
    PtySerialPort(const PtySerialPort&) = delete;
    PtySerialPort& operator=(const PtySerialPort&) = delete;

    PortResult setPortOpen(bool open) override;
    bool portOpen() const override { return open_; }
    PortResult output(const QByteArray& bytes) override;
    QByteArray input() override;
    int commEvent() const override { return comEvReceive; }
    QString lineDescription() const override { return QStringLiteral("virtual port %1").arg(link_); }
    bool pacesItself() const override { return false; }
    std::optional<UartFraming> hostFraming() const override;

private:
    PtySerialPort(int master, QString slavePath, QString link, std::unique_ptr<PathClaim> claim);
    void readArrived();
    void writeWaiting();
    // The host's end is open (by anyone); false once the last one closed it.
    bool hostThere() const;
    void hostLeft();
    void watchForHost();
    // Whether the host has left more unread than the line may hold; looked
    // at every so many bytes, for the look costs an opening of its end.
    bool hostIsBehind();

    int master_;
    QString slavePath_;
    QString link_;
    std::unique_ptr<PathClaim> claim_;
    QSocketNotifier readable_;
    QSocketNotifier writable_;
    QTimer hostWatch_;  // while no host has the line: looks for one
    bool host_ = false;
    QByteArray received_;
    QByteArray waiting_;  // accepted for the line, not yet taken by the kernel
    bool open_ = false;
    bool linked_ = false;  // the link for the host is made at the first opening
    int sinceLook_ = 0;    // bytes sent since the last look at what the host left unread
};

}  // namespace dravilo
