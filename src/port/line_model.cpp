#include "port/line_model.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace dravilo {

namespace {

// A line that does not take what is due (a host that stopped reading) is
// offered it again after this long.
constexpr std::int64_t kRetryNs = 10'000'000;
// What arrived and was not read waits up to this bound, as in a receiver.
constexpr qsizetype kMostUnread = 65536;

}  // namespace

LineModel::LineModel(SerialPort& line, Pace pace, std::function<std::int64_t()> nowNs)
    : line_(line), pace_(pace), now_(std::move(nowNs))
{
    line_.onComm = [this] { lineEvent(); };
    line_.onReport = [this](const QString& what) { report(what); };
    alarm.onRing = [this] { serve(); };
}

std::optional<UartFraming> LineModel::mismatch() const
{
    if (!framings_ || framings_->first == framings_->second)
        return std::nullopt;
    return framings_->second;
}

bool LineModel::passing() const { return !modelled() || (pace_ == Pace::Instant && !mismatch()); }

void LineModel::followHost()
{
    // The terminal's framing is read again only after its settings changed:
    // this runs at every byte that crosses.
    const UartFraming terminal =
        framings_ ? framings_->first : FramingOf(ParseLineSettings(line_.settings()).value_or(LineSettings{}));
    const std::pair<UartFraming, UartFraming> now{terminal, line_.hostFraming().value_or(terminal)};
    if (framings_ == now)
        return;
    const bool garbledBefore = mismatch().has_value();
    framings_ = now;
    toHost_.setFramings(now.first, now.second);
    fromHost_.setFramings(now.second, now.first);
    if (mismatch())
        report(QStringLiteral("the host's %1 does not match the terminal's %2: bytes are garbled as on a real line")
                   .arg(now.second.text(), now.first.text()));
    else if (garbledBefore)
        report(QStringLiteral("the host's %1 matches the terminal's again").arg(now.second.text()));
    if (onChange)
        onChange();
}

PortResult LineModel::setSettings(const QString& settings)
{
    const PortResult set = line_.setSettings(settings);
    framings_.reset();  // the terminal's own framing changed with them
    return set;
}

PortResult LineModel::setPortOpen(bool open)
{
    const PortResult result = line_.setPortOpen(open);
    // What was on its way belonged to the line as it was.
    framings_.reset();
    undelivered_.clear();
    arrived_.clear();
    overrunSaid_ = false;
    draining_ = false;
    alarm.setAt(std::nullopt);
    if (open && result.ok() && modelled()) {
        followHost();
        const UartFraming terminal = framings_->first;
        report(pace_ == Pace::Line
                   ? QStringLiteral("bytes cross at the pace of a %1 line, %2 ms a byte")
                         .arg(terminal.text())
                         .arg(double(terminal.byteNs()) / 1e6, 0, 'f', 2)
                   : QStringLiteral("bytes cross at once (--line-pace instant)"));
    }
    if (onChange)
        onChange();
    return result;
}

PortResult LineModel::output(const QByteArray& bytes)
{
    if (!modelled() || !line_.portOpen())
        return line_.output(bytes);  // a real UART paces itself; a closed line says why
    followHost();
    if (passing())
        return line_.output(bytes);
    if (pace_ == Pace::Instant) {  // garbled, but at once
        UartLink once;
        once.setFramings(toHost_.sender(), toHost_.receiver());
        once.send(bytes, 0);
        return line_.output(once.receivedBy(std::numeric_limits<std::int64_t>::max()));
    }
    const std::int64_t now = now_();
    if (draining_) {
        toHost_.send(bytes, now);
        deliver(std::numeric_limits<std::int64_t>::max());
        return {};
    }
    deliver(now);
    const qsizetype waiting = qsizetype(toHost_.bytesOnTheWire(now)) + undelivered_.size();
    if (waiting + bytes.size() > kOutputBuffer) {
        ++notSent_;
        if (onChange)
            onChange();
        return {QStringLiteral("the line is busy (%1 bytes waiting)").arg(waiting)};
    }
    toHost_.send(bytes, now);
    arm(now);
    return {};
}

QByteArray LineModel::input()
{
    if (!modelled())
        return line_.input();
    return std::exchange(arrived_, {});
}

void LineModel::lineEvent()
{
    const int event = line_.commEvent();
    if (event == comEvHostClosing && modelled())
        drain();
    if (event == comEvCD)
        draining_ = false;  // a host came or went: the next one is paced
    if (event != comEvReceive || !modelled())
        return raise(event);
    followHost();
    const QByteArray bytes = line_.input();
    if (passing()) {
        arrived_ += bytes.left(std::max<qsizetype>(0, kMostUnread - arrived_.size()));
        return raise(comEvReceive);
    }
    // The host's UART sends what it was given one byte after another; what
    // runs further ahead of the line than a buffer holds is lost, as when a
    // host's writes outrun a serial component.
    const std::int64_t now = now_();
    const qsizetype room = std::max<qsizetype>(0, kInputBuffer - qsizetype(fromHost_.bytesOnTheWire(now)));
    if (bytes.size() > room && !overrunSaid_)
        report(QStringLiteral("the host sends faster than the line carries: %1 bytes lost").arg(bytes.size() - room));
    overrunSaid_ = bytes.size() > room;
    fromHost_.send(bytes.left(room), now);
    serve();
}

void LineModel::drain()
{
    // A host that closed its end waits for nothing more: what it sent is
    // read at once, and the answers and all on their way go out at once.
    draining_ = true;
    const QByteArray made = fromHost_.receivedBy(std::numeric_limits<std::int64_t>::max());
    deliver(std::numeric_limits<std::int64_t>::max());
    alarm.setAt(std::nullopt);
    if (made.isEmpty())
        return;
    arrived_ += made.left(std::max<qsizetype>(0, kMostUnread - arrived_.size()));
    raise(comEvReceive);
}

void LineModel::serve()
{
    const std::int64_t now = now_();
    const QByteArray made = fromHost_.receivedBy(now);
    deliver(now);
    arm(now);
    if (made.isEmpty())
        return;
    arrived_ += made.left(std::max<qsizetype>(0, kMostUnread - arrived_.size()));
    raise(comEvReceive);
}

void LineModel::deliver(std::int64_t nowNs)
{
    undelivered_ += toHost_.receivedBy(nowNs);
    if (!undelivered_.isEmpty() && line_.output(undelivered_).ok())
        undelivered_.clear();
}

void LineModel::arm(std::int64_t nowNs)
{
    std::optional<std::int64_t> next;
    for (const std::optional<std::int64_t> due :
         {toHost_.nextByteAtNs(), fromHost_.nextByteAtNs(),
          undelivered_.isEmpty() ? std::optional<std::int64_t>() : nowNs + kRetryNs})
        if (due && (!next || *due < *next))
            next = due;
    alarm.setAt(next);
}

void LineModel::raise(int event)
{
    event_ = event;
    if (onComm)
        onComm();
}

void LineModel::report(const QString& what)
{
    if (onReport)
        onReport(what);
}

}  // namespace dravilo
