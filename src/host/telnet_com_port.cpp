#include "host/telnet_com_port.h"

#include <algorithm>
#include <iterator>

#include "base/captions.h"

namespace dravilo {

namespace {

constexpr std::uint8_t kSe = 240, kSb = 250, kWill = 251, kWont = 252, kDo = 253, kDont = 254, kIac = 255;
constexpr std::uint8_t kBinary = 0, kSuppressGoAhead = 3, kComPort = 44;

// COM-PORT commands of the host; the server answers each with it + 100.
enum : std::uint8_t {
    kSignature = 0,
    kSetBaudRate = 1,
    kSetDataSize = 2,
    kSetParity = 3,
    kSetStopSize = 4,
    kSetControl = 5,
    kNotifyLineState = 6,
    kNotifyModemState = 7,
    kSuspendFlow = 8,
    kResumeFlow = 9,
    kSetLineStateMask = 10,
    kSetModemStateMask = 11,
    kPurgeData = 12,
};
constexpr std::uint8_t kPurgeTransmitBuffer = 2;  // of the server: what the host sent, not yet passed on

// The terminal's cable as the host sees it: carrier, data set ready and
// clear to send always on; nothing waits to go out.
constexpr std::uint8_t kModemState = 0x80 | 0x20 | 0x10;
constexpr std::uint8_t kLineState = 0x40 | 0x20;

// Longer than any COM-PORT request; a longer one is discarded, not kept.
constexpr qsizetype kMostSubnegotiation = 64;

const char kParities[] = "noems";  // in the order of the COM-PORT codes 1 to 5

// The values of SET-CONTROL by what they concern: one asks for the state in
// force, the others set it.
struct ControlGroup {
    std::uint8_t request;
    std::uint8_t initial;
    std::uint8_t settable[5];  // zero-filled
};
constexpr ControlGroup kControlGroups[] = {
    {0, 1, {1, 2, 3, 17, 19}},    // flow control: none, XON/XOFF, hardware, DCD, DSR
    {4, 6, {5, 6}},               // break on, off
    {7, 8, {8, 9}},               // DTR on, off
    {10, 11, {11, 12}},           // RTS on, off
    {13, 14, {14, 15, 16, 18}},   // inbound flow control: none, XON/XOFF, hardware, DTR
};
constexpr std::size_t kBreak = 1, kDtr = 2, kRts = 3;  // of the groups above

QByteArray bytes(std::initializer_list<std::uint8_t> list)
{
    QByteArray out;
    for (std::uint8_t b : list)
        out += char(b);
    return out;
}

}  // namespace

TelnetComPort::TelnetComPort(const LineSettings& terminal)
    : options_{{kBinary}, {kSuppressGoAhead}, {kComPort}},
      baudRate_(std::uint32_t(terminal.baudRate)),
      dataSize_(std::uint8_t(terminal.dataBits)),
      parity_(std::uint8_t(QByteArray(kParities).indexOf(char(terminal.parity.unicode())) + 1)),
      stopSize_(std::uint8_t(terminal.stopBits))
{
    for (std::size_t i = 0; i < std::size(kControlGroups); ++i)
        control_[i] = kControlGroups[i].initial;
    for (OptionState& o : options_)
        if (o.code != kComPort)  // offered in the greeting; COM-PORT is the host's to ask for
            o.ours = o.theirs = Agreed::Asked;
}

QByteArray TelnetComPort::greeting()
{
    return bytes({kIac, kWill, kBinary, kIac, kDo, kBinary, kIac, kWill, kSuppressGoAhead, kIac, kDo, kSuppressGoAhead});
}

QByteArray TelnetComPort::encode(const QByteArray& data)
{
    QByteArray out = data;
    return out.replace(QByteArray(1, char(kIac)), QByteArray(2, char(kIac)));
}

QString TelnetComPort::hostLine() const
{
    const QString stop = stopSize_ == 3 ? QStringLiteral("1.5") : QString::number(stopSize_);
    return QStringLiteral("%1,%2,%3,%4").arg(baudRate_).arg(QLatin1Char(kParities[parity_ - 1])).arg(dataSize_).arg(stop);
}

std::optional<UartFraming> TelnetComPort::hostFraming() const
{
    // A rate no UART runs at says nothing of the host's end.
    if (baudRate_ < 1 || baudRate_ > 16'000'000)
        return std::nullopt;
    const int stopHalves = stopSize_ == 3 ? 3 : 2 * stopSize_;
    return UartFraming{int(baudRate_), dataSize_, QLatin1Char(kParities[parity_ - 1]), stopHalves};
}

QString TelnetComPort::hostControl() const
{
    const auto on = [](bool value) { return value ? QStringLiteral("on") : QStringLiteral("off"); };
    QString lines = QStringLiteral("DTR %1, RTS %2").arg(on(control_[kDtr] == 8), on(control_[kRts] == 11));
    return breaking() ? lines + QStringLiteral(", a break") : lines;
}

bool TelnetComPort::breaking() const { return control_[kBreak] == 5; }

TelnetComPort::Decoded TelnetComPort::decode(const QByteArray& in)
{
    Decoded out;
    for (const char c : in) {
        const auto b = std::uint8_t(c);
        switch (state_) {
        case State::Data:
            if (b == kIac)
                state_ = State::Command;
            else
                out.data += c;
            continue;
        case State::Option:
            negotiate(verb_, b, out);
            state_ = State::Data;
            continue;
        case State::Sub:
        case State::Skip:
            if (b == kIac)
                state_ = state_ == State::Sub ? State::SubCommand : State::SkipCommand;
            else if (state_ == State::Sub)
                sub_ += c;
            break;
        case State::SubCommand:
        case State::SkipCommand:
            if (b == kIac) {  // a data byte 0xFF inside the sub-negotiation
                state_ = state_ == State::SubCommand ? State::Sub : State::Skip;
                if (state_ == State::Sub)
                    sub_ += c;
                break;
            }
            if (b == kSe) {
                if (state_ == State::SubCommand)
                    subnegotiation(out);
                state_ = State::Data;
                continue;
            }
            // Another command before its end: the sub-negotiation is given up.
            if (state_ == State::SubCommand)
                out.notes << QStringLiteral("Telnet: a sub-negotiation without its end discarded");
            state_ = State::Command;
            [[fallthrough]];
        case State::Command:
            if (b == kIac) {
                out.data += c;
                state_ = State::Data;
            } else if (b >= kWill && b <= kDont) {
                verb_ = b;
                state_ = State::Option;
            } else if (b == kSb) {
                sub_.clear();
                state_ = State::Sub;
            } else {  // NOP, GA, AYT, a stray SE, or no command at all: nothing to do
                state_ = State::Data;
            }
            continue;
        }
        if (state_ == State::Sub && sub_.size() > kMostSubnegotiation) {
            out.notes << QStringLiteral("Telnet: a sub-negotiation of more than %1 bytes discarded").arg(kMostSubnegotiation);
            sub_.clear();
            state_ = State::Skip;
        }
    }
    return out;
}

TelnetComPort::OptionState* TelnetComPort::option(std::uint8_t code)
{
    const auto found = std::find_if(std::begin(options_), std::end(options_),
                                    [code](const OptionState& o) { return o.code == code; });
    return found == std::end(options_) ? nullptr : found;
}

void TelnetComPort::negotiate(std::uint8_t verb, std::uint8_t code, Decoded& out)
{
    const bool theirs = verb == kWill || verb == kWont;
    const bool yes = verb == kWill || verb == kDo;
    OptionState* o = option(code);
    if (!o) {  // refused; a refusal of ours is not answered
        if (yes)
            out.answer += bytes({kIac, theirs ? kDont : kWont, code});
        return;
    }
    Agreed& side = theirs ? o->theirs : o->ours;
    // Only a change is answered: an answer to our own offer is none, so no loop.
    if (yes) {
        if (side == Agreed::No)
            out.answer += bytes({kIac, theirs ? kDo : kWill, code});
        side = Agreed::Yes;
        if (code == kComPort && !modemStateSent_) {  // a device server tells the state of its lines
            modemStateSent_ = true;
            answer(out, kNotifyModemState, QByteArray(1, char(kModemState & modemStateMask_)));
        }
    } else {
        if (side == Agreed::Yes)
            out.answer += bytes({kIac, theirs ? kDont : kWont, code});
        side = Agreed::No;
    }
}

void TelnetComPort::subnegotiation(Decoded& out)
{
    if (sub_.size() >= 2 && std::uint8_t(sub_[0]) == kComPort)
        comPort(std::uint8_t(sub_[1]), sub_.mid(2), out);
    else if (!sub_.isEmpty())
        out.notes << QStringLiteral("Telnet: a sub-negotiation of option %1 ignored").arg(std::uint8_t(sub_[0]));
}

void TelnetComPort::answer(Decoded& out, std::uint8_t command, const QByteArray& value)
{
    out.answer += bytes({kIac, kSb, kComPort, std::uint8_t(command + 100)}) + encode(value) + bytes({kIac, kSe});
}

void TelnetComPort::comPort(std::uint8_t command, const QByteArray& value, Decoded& out)
{
    if (command == kSignature) {
        if (value.isEmpty())  // asked for ours; a signature of the host's needs no answer
            answer(out, kSignature, QStringLiteral("%1 %2").arg(kProductName, kVersion).toLatin1());
        return;
    }
    if (command == kSetBaudRate) {
        if (value.size() != 4) {
            out.notes << QStringLiteral("COM-PORT: a rate of %1 bytes ignored").arg(value.size());
            return;
        }
        std::uint32_t rate = 0;
        for (const char b : value)
            rate = rate << 8 | std::uint8_t(b);
        if (rate != 0) {
            baudRate_ = rate;
            out.lineSet = true;
        }
        answer(out, kSetBaudRate, bytes({std::uint8_t(baudRate_ >> 24), std::uint8_t(baudRate_ >> 16),
                                         std::uint8_t(baudRate_ >> 8), std::uint8_t(baudRate_)}));
        return;
    }
    switch (command) {  // these carry no value: a poll of the line's state, the host's flow control
    case kNotifyLineState: answer(out, command, QByteArray(1, char(kLineState & lineStateMask_))); return;
    case kNotifyModemState: answer(out, command, QByteArray(1, char(kModemState & modemStateMask_))); return;
    case kSuspendFlow:
    case kResumeFlow:
        out.notes << QStringLiteral("COM-PORT: flow control suspend and resume ignored: the line has no handshake");
        return;
    }
    if (value.size() != 1 || command > kPurgeData) {
        out.notes << QStringLiteral("COM-PORT: command %1 with %2 bytes ignored").arg(command).arg(value.size());
        return;
    }
    const auto v = std::uint8_t(value[0]);
    // Rate, data size, parity and stop size: 0 asks for the value in force,
    // one it cannot have is refused by answering the value in force.
    const auto setting = [&](std::uint8_t& inForce, std::uint8_t lowest, std::uint8_t highest, const char* name) {
        if (v >= lowest && v <= highest) {
            inForce = v;
            out.lineSet = true;
        } else if (v != 0) {
            out.notes << QStringLiteral("COM-PORT: %1 %2 refused").arg(QLatin1String(name)).arg(v);
        }
        answer(out, command, QByteArray(1, char(inForce)));
    };
    switch (command) {
    case kSetDataSize: setting(dataSize_, 5, 8, "data size"); break;
    case kSetParity: setting(parity_, 1, 5, "parity"); break;
    case kSetStopSize: setting(stopSize_, 1, 3, "stop size"); break;
    case kSetControl: control(v, out); break;
    case kSetLineStateMask:
        lineStateMask_ = v;
        answer(out, command, value);
        break;
    case kSetModemStateMask:
        modemStateMask_ = v;
        answer(out, command, value);
        break;
    case kPurgeData:
        if (v < 1 || v > 3) {
            out.notes << QStringLiteral("COM-PORT: purge %1 ignored").arg(v);
            break;
        }
        // The terminal's bytes are handed to the network as they come:
        // only the host's can still be purged.
        if (v & kPurgeTransmitBuffer) {
            out.data.clear();
            out.purgeSent = true;
        }
        answer(out, command, value);
        break;
    }
}

void TelnetComPort::control(std::uint8_t value, Decoded& out)
{
    for (std::size_t i = 0; i < std::size(kControlGroups); ++i) {
        const ControlGroup& group = kControlGroups[i];
        const bool sets = value != 0 && std::find(std::begin(group.settable), std::end(group.settable), value) !=
                                            std::end(group.settable);
        if (value != group.request && !sets)
            continue;
        if (sets) {
            out.controlSet = out.controlSet || (control_[i] != value && (i == kBreak || i == kDtr || i == kRts));
            control_[i] = value;
        }
        answer(out, kSetControl, QByteArray(1, char(control_[i])));
        return;
    }
    out.notes << QStringLiteral("COM-PORT: control value %1 ignored").arg(value);
}

}  // namespace dravilo
