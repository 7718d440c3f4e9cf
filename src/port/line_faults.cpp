#include "port/line_faults.h"

#include "program/program.h"

#include <algorithm>

namespace dravilo {

namespace {

// What delayed replies may hold back at once: seconds of ZELM-1 at 1 ms.
constexpr qsizetype kMostHeldBytes = 65536;

struct KindName {
    FaultKind kind;
    const char* name;
};
constexpr KindName kKinds[] = {{FaultKind::Drop, "drop"},
                               {FaultKind::Delay, "delay"},
                               {FaultKind::Corrupt, "corrupt"},
                               {FaultKind::Cut, "cut"},
                               {FaultKind::Noise, "noise"}};

const char* kindName(FaultKind kind)
{
    for (const KindName& k : kKinds)
        if (k.kind == kind)
            return k.name;
    return "";
}

// A whole number above 0, or nothing.
std::optional<int> positive(const QString& word)
{
    bool ok = false;
    const int n = word.toInt(&ok);
    return ok && n >= 1 ? std::optional<int>(n) : std::nullopt;
}

// "next 3", "rate 0.25" or "rate 25%".
bool takeReach(Fault& fault, const QStringList& words)
{
    if (words.size() != 2)
        return false;
    if (words[0] == QLatin1String("next")) {
        const std::optional<int> count = positive(words[1]);
        fault.count = count.value_or(0);
        return count.has_value();
    }
    if (words[0] != QLatin1String("rate"))
        return false;
    QString share = words[1];
    const bool percent = share.endsWith(u'%');
    if (percent)
        share.chop(1);
    bool ok = false;
    fault.rate = share.toDouble(&ok) / (percent ? 100 : 1);
    return ok && fault.rate > 0 && fault.rate <= 1;
}

}  // namespace

std::optional<Fault> ParseFault(const QStringList& words, QString& why)
{
    const auto named = std::find_if(std::begin(kKinds), std::end(kKinds), [&words](const KindName& k) {
        return !words.isEmpty() && words[0] == QLatin1String(k.name);
    });
    if (named == std::end(kKinds)) {
        why = QStringLiteral("a fault is drop, delay, corrupt, cut, noise or off");
        return std::nullopt;
    }
    Fault fault;
    fault.kind = named->kind;
    qsizetype reach = 1;
    if (fault.kind == FaultKind::Delay) {
        const std::optional<int> ms = words.size() > 1 ? positive(words[1]) : std::nullopt;
        if (!ms) {
            why = QStringLiteral("fault delay MS next N|rate P, MS a whole number above 0");
            return std::nullopt;
        }
        fault.delayMs = *ms;
        reach = 2;
    }
    if (!takeReach(fault, words.mid(reach))) {
        why = QStringLiteral("say for how many replies: next N (above 0), or rate P from 0 to 1 (or 0% to 100%)");
        return std::nullopt;
    }
    return fault;
}

LineFaults::LineFaults(SerialPort& line, std::function<std::int64_t()> now) : line_(line), now_(std::move(now))
{
    line_.onComm = [this] {
        if (onComm)
            onComm();
    };
    line_.onReport = [this](const QString& what) { tell(TrafficDirection::Program, {}, what); };
    delayTimer.onTick = [this] { sendDue(); };
}

void LineFaults::set(const Fault& fault)
{
    fault_ = fault;
    faultChanged();
}

void LineFaults::clear()
{
    fault_.reset();
    faultChanged();
    while (!held_.isEmpty()) {
        const QByteArray bytes = held_.takeFirst().bytes;
        tell(TrafficDirection::ToHost, bytes, QStringLiteral("sent at once: the fault was ended"));
        line_.output(bytes);
    }
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
        faultChanged();
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
        tell(TrafficDirection::Program, {}, QStringLiteral("drop"));
        return std::nullopt;
    case FaultKind::Corrupt:
        if (!sent.isEmpty()) {
            const auto at = std::uniform_int_distribution<qsizetype>(0, sent.size() - 1)(random_);
            sent[at] = char(sent[at] ^ (1 << std::uniform_int_distribution<int>(0, 7)(random_)));
            tell(TrafficDirection::ToHost, sent, QStringLiteral("corrupt: byte %1 changed").arg(at + 1));
        }
        break;
    case FaultKind::Cut:
        if (sent.size() > 1) {
            sent.truncate(std::uniform_int_distribution<qsizetype>(1, sent.size() - 1)(random_));
            tell(TrafficDirection::ToHost, sent, QStringLiteral("cut after %1 bytes").arg(sent.size()));
        }
        break;
    case FaultKind::Noise: {
        QByteArray noise(std::uniform_int_distribution<int>(1, 8)(random_), Qt::Uninitialized);
        for (char& b : noise)
            b = char(std::uniform_int_distribution<int>(0, 255)(random_));
        sent.prepend(noise);
        tell(TrafficDirection::ToHost, sent, QStringLiteral("noise: %1 bytes before the reply").arg(noise.size()));
        break;
    }
    case FaultKind::Delay:
        tell(TrafficDirection::Program, {}, QStringLiteral("delay: held for %1 ms").arg(fault.delayMs));
        break;
    }
    return sent;
}

void LineFaults::tell(TrafficDirection direction, const QByteArray& bytes, const QString& what)
{
    if (program_)
        program_->record(direction, bytes, what);
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
        const QByteArray bytes = held_.takeFirst().bytes;
        heldBytes_ -= bytes.size();
        tell(TrafficDirection::ToHost, bytes, QStringLiteral("sent after its delay"));
        line_.output(bytes);
    }
    armDelayTimer();
}

void LineFaults::dropHeld()
{
    if (!held_.isEmpty())
        tell(TrafficDirection::Program, {},
             QStringLiteral("%1 held replies dropped: the port closed or was lost").arg(held_.size()));
    held_.clear();
    heldBytes_ = 0;
    delayTimer.setEnabled(false);
}

void LineFaults::faultChanged()
{
    if (onFaultChange)
        onFaultChange();
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
