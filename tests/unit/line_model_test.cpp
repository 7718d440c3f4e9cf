#include <gtest/gtest.h>

#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "fake_port.h"
#include "port/line_model.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

// A line no UART paces, as a pseudo-terminal or a network line is; what it
// was given is kept with the time it was given.
class InstantLine : public FakePort {
public:
    bool pacesItself() const override { return uart; }
    std::optional<UartFraming> hostFraming() const override { return host; }
    PortResult output(const QByteArray& bytes) override
    {
        if (hostNotReading)
            return {QStringLiteral("the host is not reading")};
        for (const char b : bytes)
            arrivals.push_back({b, *now});
        return FakePort::output(bytes);
    }

    struct Arrival {
        char byte;
        std::int64_t atNs;
    };
    std::vector<Arrival> arrivals;
    std::optional<UartFraming> host;
    bool hostNotReading = false;
    bool uart = false;
    const std::int64_t* now = nullptr;
};

constexpr std::int64_t kByteNs = 1'041'666;  // 9600,n,8,1

struct Model {
    std::int64_t now = 0;
    InstantLine line;
    LineModel model{line, LineModel::Pace::Line, [this] { return now; }};
    QStringList reports;
    int receives = 0;

    explicit Model(LineModel::Pace pace = LineModel::Pace::Line)
        : model(line, pace, [this] { return now; })
    {
        line.now = &now;
        model.onReport = [this](const QString& what) { reports << what; };
        model.onComm = [this] { receives += model.commEvent() == comEvReceive; };
        model.setPortOpen(true);
    }
    // Time goes on to `ns`, ringing the alarm each time it is due on the way.
    void runTo(std::int64_t ns)
    {
        while (model.alarm.at() && *model.alarm.at() <= ns) {
            now = std::max(now, *model.alarm.at());
            model.alarm.ring();
        }
        now = ns;
    }
    QByteArray sentToHost() const
    {
        QByteArray out;
        for (const InstantLine::Arrival& a : line.arrivals)
            out += a.byte;
        return out;
    }
};

}  // namespace

// Bytes leave at the terminal's rate, each as its last bit does: a 20-byte
// frame at 9600,n,8,1 takes 20.8 ms from its first byte to its last.
TEST(LineModel, BytesLeaveAtTheLinesPace)
{
    Model m;
    EXPECT_EQ(m.reports, QStringList({"bytes cross at the pace of a 9600,n,8,1 line, 1.04 ms a byte"}));
    ASSERT_TRUE(m.model.output(QByteArray(20, 'x')).ok());
    EXPECT_TRUE(m.line.arrivals.empty()) << "nothing at once";
    m.runTo(30'000'000);
    ASSERT_EQ(m.line.arrivals.size(), 20u);
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_EQ(m.line.arrivals[i].atNs, std::int64_t(i + 1) * 20 * 500'000'000 / 9600) << i;

    // The host's request reaches the terminal as its last bit does.
    m.line.receive(QByteArray("\x0b\x04\x02\x00\x01\x00\x00", 7));
    EXPECT_EQ(m.model.input(), QByteArray());
    m.runTo(30'000'000 + 3 * kByteNs + 3);
    EXPECT_EQ(m.model.input(), QByteArray("\x0b\x04\x02", 3));
    m.runTo(40'000'000);
    EXPECT_EQ(m.model.input(), QByteArray("\x00\x01\x00\x00", 4));
}

// Frames built faster than the line carries them wait in a bounded output
// buffer; what does not fit is not sent, said, and counted.
TEST(LineModel, WhatDoesNotFitTheBufferIsNotSent)
{
    Model m;
    int notSent = 0;
    QString why;
    for (int ms = 0; ms < 1000; ++ms) {  // a 13-byte ZELM-1 line every ms, where a line needs 13.5 ms
        m.runTo(std::int64_t(ms) * 1'000'000);
        const PortResult sent = m.model.output(QByteArray(13, 'w'));
        if (!sent.ok()) {
            ++notSent;
            why = sent.error;
        }
    }
    EXPECT_EQ(m.model.framesNotSent(), notSent);
    // What the buffer holds and what the line carried in the second: the rest is not sent.
    EXPECT_NEAR(1000 - notSent, (LineModel::kOutputBuffer + 960) / 13, 2);
    EXPECT_TRUE(why.startsWith("the line is busy (")) << why.toStdString();
    m.runTo(1'000'000'000);
    EXPECT_NEAR(double(m.line.arrivals.size()), 960.0, 13.0) << "the line carried all it could";

    // A host that stops reading costs no more than the buffer either: what
    // it reads afterwards is no older than that.
    m.line.hostNotReading = true;
    for (int ms = 1000; ms < 5000; ++ms) {
        m.runTo(std::int64_t(ms) * 1'000'000);
        m.model.output(QByteArray(13, 'w'));
    }
    m.line.hostNotReading = false;
    const std::size_t before = m.line.arrivals.size();
    m.runTo(5'000'000'000LL + 20'000'000);
    EXPECT_LE(m.line.arrivals.size() - before, std::size_t(LineModel::kOutputBuffer));
}

// A host whose end is set otherwise reads what its UART makes of the
// terminal's bits, and its requests reach the terminal the same way; the
// traffic says so once per change. At once, where the pace is instant.
TEST(LineModel, AHostSetOtherwiseReadsGarbage)
{
    for (const LineModel::Pace pace : {LineModel::Pace::Line, LineModel::Pace::Instant}) {
        Model m(pace);
        m.line.host = UartFraming{19200, 8, u'n', 2};
        m.model.output(QByteArray("\x0f", 1));
        m.runTo(100'000'000);
        EXPECT_EQ(m.sentToHost().toHex(' '), "fe 80");
        EXPECT_EQ(m.reports.last(),
                  "the host's 19200,n,8,1 does not match the terminal's 9600,n,8,1: bytes are garbled as on a real line");
        EXPECT_EQ(m.model.mismatch(), m.line.host);

        m.line.receive(QByteArray("\x0e", 1));
        m.runTo(200'000'000);
        const QByteArray request = m.model.input();
        EXPECT_FALSE(request.isEmpty() || request == "\x0e") << "the other way too: " << request.toHex(' ').toStdString();

        m.line.host = UartFraming{9600, 8, u'n', 2};
        m.model.output("A");
        m.runTo(300'000'000);
        EXPECT_EQ(m.sentToHost().right(1), "A");
        EXPECT_EQ(m.reports.last(), "the host's 9600,n,8,1 matches the terminal's again");
        EXPECT_FALSE(m.model.mismatch());
    }
}

// With the pace instant and the ends agreeing, and on a real UART, the bytes
// pass as they are, at once.
TEST(LineModel, InstantAndRealLinesPassBytesAsTheyAre)
{
    Model instant(LineModel::Pace::Instant);
    EXPECT_EQ(instant.reports, QStringList({"bytes cross at once (--line-pace instant)"}));
    instant.model.output(QByteArray(20, 'x'));
    EXPECT_EQ(instant.line.arrivals.size(), 20u);
    instant.line.receive("\x0e");
    EXPECT_EQ(instant.model.input(), "\x0e");

    Model uart;
    uart.line.uart = true;
    uart.model.output(QByteArray(20, 'x'));
    EXPECT_EQ(uart.line.arrivals.size(), 20u);
    EXPECT_FALSE(uart.model.alarm.at());
}

// A host that sends far faster than its line carries loses what runs more
// than a buffer ahead, said once; a host that closes its end gets what is
// on its way at once.
TEST(LineModel, AFloodIsBoundedAndAClosingHostIsAnswered)
{
    Model m;
    m.line.receive(QByteArray(100000, 'A'));
    EXPECT_EQ(m.reports.last(), "the host sends faster than the line carries: 95904 bytes lost");
    m.runTo(10'000'000'000LL);
    QByteArray read;
    for (QByteArray piece; !(piece = m.model.input()).isEmpty();)
        read += piece;
    EXPECT_EQ(read.size(), LineModel::kInputBuffer);

    m.line.receive("\x0e");
    m.model.output(QByteArray("\x00\x09\x0d\x0a", 4));
    m.line.raise(comEvHostClosing);
    EXPECT_EQ(m.model.input(), "\x0e");
    EXPECT_EQ(m.sentToHost().right(4), QByteArray("\x00\x09\x0d\x0a", 4));
}
