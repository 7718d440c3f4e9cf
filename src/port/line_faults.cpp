#include "port/line_faults.h"

namespace dravilo {

namespace {

const char* kindName(FaultKind kind)
{
    switch (kind) {
    case FaultKind::Drop: return "drop";
    case FaultKind::Delay: return "delay";
    case FaultKind::Corrupt: return "corrupt";
    case FaultKind::Cut: return "cut";
    case FaultKind::Noise: return "noise";
    }
    return "";
}

}  // namespace

LineFaults::LineFaults(SerialPort& line) : line_(line)
{
    line_.onComm = [this] {
        if (onComm)
            onComm();
    };
    delayTimer.onTick = [this] { sendDelayed(); };
}

QString LineFaults::describe() const
{
    if (!fault_)
        return QStringLiteral("none");
    QString text = QLatin1String(kindName(fault_->kind));
    if (fault_->kind == FaultKind::Delay)
        text += QStringLiteral(" %1").arg(fault_->delayMs);
    if (fault_->count > 0)
        return text + QStringLiteral(" next %1").arg(fault_->count);
    return text + QStringLiteral(" rate %1").arg(fault_->rate);
}

std::optional<Fault> LineFaults::strikes()
{
    if (!fault_)
        return std::nullopt;
    const Fault taken = *fault_;
    if (fault_->count > 0) {
        if (--fault_->count == 0)
            fault_.reset();  // that was the last of the counted replies
        return taken;
    }
    if (std::uniform_real_distribution<double>(0, 1)(random_) < fault_->rate)
        return taken;
    return std::nullopt;
}

PortResult LineFaults::output(const QByteArray& bytes)
{
    // A closed port loses the reply whatever the fault, and says so.
    if (!line_.portOpen())
        return line_.output(bytes);
    const std::optional<Fault> hit = strikes();
    const bool delay = hit && hit->kind == FaultKind::Delay;
    // Replies keep their order: behind a delayed one the others wait too.
    if (delay || !delayed_.isEmpty()) {
        delayed_.append(bytes);
        if (delay)
            delayTimer.setInterval(hit->delayMs);
        delayTimer.setEnabled(true);
        return {};
    }
    if (!hit)
        return line_.output(bytes);

    QByteArray sent = bytes;
    switch (hit->kind) {
    case FaultKind::Drop:
        return {};
    case FaultKind::Corrupt:
        if (!sent.isEmpty()) {
            const auto at = std::uniform_int_distribution<qsizetype>(0, sent.size() - 1)(random_);
            sent[at] = char(sent[at] ^ (1 << std::uniform_int_distribution<int>(0, 7)(random_)));
        }
        break;
    case FaultKind::Cut:
        if (sent.size() > 1)
            sent.truncate(std::uniform_int_distribution<qsizetype>(1, sent.size() - 1)(random_));
        break;
    case FaultKind::Noise: {
        QByteArray noise(std::uniform_int_distribution<int>(1, 8)(random_), Qt::Uninitialized);
        for (char& b : noise)
            b = char(std::uniform_int_distribution<int>(0, 255)(random_));
        sent.prepend(noise);
        break;
    }
    case FaultKind::Delay:
        break;
    }
    return line_.output(sent);
}

void LineFaults::sendDelayed()
{
    if (!delayed_.isEmpty())
        line_.output(delayed_.takeFirst());
    if (delayed_.isEmpty())
        delayTimer.setEnabled(false);
}

}  // namespace dravilo
