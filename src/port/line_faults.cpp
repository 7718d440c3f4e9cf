#include "port/line_faults.h"

#include <algorithm>

namespace dravilo {

namespace {

// What delayed replies may hold back at once: seconds of ZELM-1 at 1 ms.
constexpr qsizetype kMostHeldBytes = 65536;

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

LineFaults::LineFaults(SerialPort& line, std::function<std::int64_t()> now) : line_(line), now_(std::move(now))
{
    line_.onComm = [this] {
        if (onComm)
            onComm();
    };
    delayTimer.onTick = [this] { sendDue(); };
}

void LineFaults::clear()
{
    fault_.reset();
    while (!held_.isEmpty())
        line_.output(held_.takeFirst().bytes);
    dropHeld();
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

PortResult LineFaults::setPortOpen(bool open)
{
    dropHeld();
    return line_.setPortOpen(open);
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

std::optional<QByteArray> LineFaults::damaged(const Fault& fault, QByteArray sent)
{
    switch (fault.kind) {
    case FaultKind::Drop:
        return std::nullopt;
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
    return sent;
}

PortResult LineFaults::output(const QByteArray& bytes)
{
    // A closed port loses the reply whatever the fault, and says so.
    if (!line_.portOpen())
        return line_.output(bytes);
    const std::optional<Fault> hit = strikes();
    const std::optional<QByteArray> sent = hit ? damaged(*hit, bytes) : bytes;
    if (!sent)
        return {};
    const bool delay = hit && hit->kind == FaultKind::Delay;
    if (!delay && held_.isEmpty())
        return line_.output(*sent);
    // Replies keep their order: behind a delayed one the others wait too,
    // but no longer than it does.
    if (heldBytes_ + sent->size() > kMostHeldBytes)
        return {QStringLiteral("Output buffer full")};
    held_.append({*sent, delay ? now_() + hit->delayMs : held_.last().due});
    heldBytes_ += sent->size();
    armDelayTimer();
    return {};
}

void LineFaults::sendDue()
{
    if (!line_.portOpen()) {  // the device went away meanwhile
        dropHeld();
        return;
    }
    const std::int64_t now = now_();
    while (!held_.isEmpty() && held_.first().due <= now) {
        heldBytes_ -= held_.first().bytes.size();
        line_.output(held_.takeFirst().bytes);
    }
    armDelayTimer();
}

void LineFaults::dropHeld()
{
    held_.clear();
    heldBytes_ = 0;
    delayTimer.setEnabled(false);
}

void LineFaults::armDelayTimer()
{
    if (held_.isEmpty()) {
        delayTimer.setEnabled(false);
        return;
    }
    delayTimer.setInterval(int(std::max<std::int64_t>(1, held_.first().due - now_())));
    delayTimer.setEnabled(true);
}

}  // namespace dravilo
