#include <gtest/gtest.h>

#include <random>

#include "terminal/frame.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

const QByteArray kAck("\r\n", 2);
// Weight 0, price 0010.24, cost 0000.00.
const QByteArray kEmptyScalesFrame =
    bytes({0, 0, 0, 0, 0, 0, 4, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x0D, 0x0A});

struct RequestHandling : ::testing::Test {
    TestProgram t;
    void SetUp() override { t.started(); }
    QByteArray ask(const QByteArray& request)
    {
        t.port.receive(request);
        return t.port.takeSent();
    }
    // Three swaying frames, and the fourth puts the weight back on its base.
    void settleSway()
    {
        for (int i = 0; i < 4; ++i)
            ask(bytes({0x0A}));
    }
};

}  // namespace

TEST_F(RequestHandling, WeightRequestSendsAFreshFrameAndShowsIt)
{
    const QByteArray first = ask(bytes({0x0A}));
    ASSERT_EQ(first.size(), 20);
    EXPECT_EQ(first.mid(6), kEmptyScalesFrame.mid(6));
    EXPECT_LE(first[0], 2);  // the start-up sway moves the tenths only
    EXPECT_EQ(first.mid(1, 5), QByteArray(5, 0));
    EXPECT_EQ(t.form.Label18.caption(), "2");
    EXPECT_EQ(t.form.Label19.caption(), "9600,n,8,1");
    EXPECT_EQ(t.form.Label12.caption(), "150");
    EXPECT_EQ(t.form.Shape3.fillColour(), kRed);

    ask(bytes({0x0A}));
    ask(bytes({0x0A}));
    EXPECT_EQ(ask(bytes({0x0A})), kEmptyScalesFrame);
    EXPECT_EQ(t.form.Text3.text(), TextView(kEmptyScalesFrame));
    EXPECT_EQ(t.form.Text6.text(), " 00 00 00 00 00 00 04 02 00 01 00 00 00 00 00 00 00 00 0D 0A");
    EXPECT_EQ(t.form.Text5.text(), "00000.0");
}

TEST_F(RequestHandling, WeightFrameCarriesTheLoadAndTheDisplayTexts)
{
    settleSway();
    t.form.Command1.click();  // 11.1, cost 113.66
    settleSway();
    EXPECT_EQ(ask(bytes({0x0A})),
              bytes({1, 1, 1, 0, 0, 0, 4, 2, 0, 1, 0, 0, 6, 6, 3, 1, 1, 0, 0x0D, 0x0A}));
    t.form.Command2.click();  // no sign on the line: only S1 tells it
    settleSway();
    EXPECT_EQ(ask(bytes({0x0A})),
              bytes({1, 1, 1, 0, 0, 0, 4, 2, 0, 1, 0, 0, 6, 6, 3, 1, 1, 0, 0x0D, 0x0A}));
    EXPECT_EQ(t.form.Text5.text(), "-00011.1");
}

TEST_F(RequestHandling, OnlyTheFirstByteOfABatchCounts)
{
    settleSway();
    EXPECT_EQ(ask(bytes({0x0A, 0x0A})), kEmptyScalesFrame);
    EXPECT_EQ(ask(bytes({0x0E, 0x0A, 0x0C})), bytes({0x00, 0x09, 0x0D, 0x0A}));
    EXPECT_EQ(t.form.Check1[7].value(), 0);
    EXPECT_EQ(ask(QByteArray("A\n")), QByteArray());
    EXPECT_EQ(ask(QByteArray()), QByteArray());
}

TEST_F(RequestHandling, StatusRequest)
{
    EXPECT_EQ(ask(bytes({0x0E})), bytes({0x00, 0x09, 0x0D, 0x0A}));
    EXPECT_EQ(t.form.Text6.text(), "00 09 0D 0A");
    EXPECT_EQ(t.form.Text3.text(), TextView(bytes({0x00, 0x09, 0x0D, 0x0A})));
    t.form.Check1[0].setValue(1);
    t.form.Check3[1].setValue(1);
    EXPECT_EQ(ask(bytes({0x0E})), bytes({0x80, 0x49, 0x0D, 0x0A}));
    EXPECT_EQ(t.form.Text6.text(), "80 49 0D 0A");
}

TEST_F(RequestHandling, NetRequestChecksD0AndAlwaysReplies)
{
    EXPECT_EQ(ask(bytes({0x0C})), kAck);
    EXPECT_EQ(t.form.Check1[7].value(), 1);
    EXPECT_EQ(t.state.bytS1, 1);
    EXPECT_EQ(t.form.Text6.text(), "0D 0A");
    EXPECT_EQ(ask(bytes({0x0C})), kAck);
    EXPECT_EQ(t.state.bytS1, 1);
}

TEST_F(RequestHandling, TakeOffRequestActsLikeTheButton)
{
    t.form.Command1.click();
    EXPECT_EQ(ask(bytes({0x0D})), kAck);
    EXPECT_EQ(t.state.dblWeight, 0);
    EXPECT_EQ(t.form.Shape2[2].fillColour(), kGreen);
    EXPECT_EQ(t.form.Text5.text(), "00000.0");
    EXPECT_EQ(t.state.intSwayLeft, 3);
}

TEST_F(RequestHandling, PriceSettingInOneBatch)
{
    EXPECT_EQ(ask(bytes({0x0B, 4, 3, 2, 1, 0, 0})), kAck);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 12.34);
    EXPECT_EQ(t.form.Text11.text(), "0012.34");
    EXPECT_EQ(t.form.Text8.text(), "0012.34");
    EXPECT_EQ(t.form.Text6.text(), "0D 0A");
    settleSway();
    EXPECT_EQ(ask(bytes({0x0A})).mid(6, 6), bytes({4, 3, 2, 1, 0, 0}));
}

TEST_F(RequestHandling, PriceSettingFollowsTheDivisorAndTheLocale)
{
    t.platform.separator = u',';
    t.form.Check3[4].setValue(0);
    t.form.Check3[5].setValue(1);  // one decimal, divisor 10
    EXPECT_EQ(ask(bytes({0x0B, 4, 2, 0, 1, 0, 0})), kAck);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 102.4);
    EXPECT_EQ(t.form.Text11.text(), "00102,4");
}

TEST(RequestHandlingLocale, TheLineIsTheSameUnderASeparatorThatIsNeitherPointNorComma)
{
    TestProgram t;
    t.platform.separator = u'\u066B';  // Persian and Arabic
    t.started();
    t.form.Command1.click();
    EXPECT_EQ(t.state.dblWeight, 11.1);
    t.form.Command3.click();
    for (int i = 0; i < 4; ++i)
        t.port.receive(bytes({0x0A}));
    EXPECT_EQ(t.port.takeSent().right(20), kEmptyScalesFrame);
    t.port.receive(bytes({0x0B, 4, 2, 0, 1, 0, 0}));
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 10.24);
    EXPECT_EQ(t.form.Text11.text(), QString::fromUtf8("0010\u066B24"));
}

TEST_F(RequestHandling, PriceSettingSplitOverBatches)
{
    EXPECT_EQ(ask(bytes({0x0B, 4, 2})), QByteArray());
    EXPECT_EQ(t.state.intPriceEntry, 1);
    EXPECT_EQ(ask(bytes({0, 1, 0, 0})), kAck);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 10.24);
    EXPECT_EQ(t.state.intPriceEntry, 0);

    EXPECT_EQ(ask(bytes({0x0B})), QByteArray());
    EXPECT_EQ(ask(bytes({9})), QByteArray());
    EXPECT_EQ(ask(bytes({9, 9})), QByteArray());
    EXPECT_EQ(ask(bytes({9, 9, 0})), kAck);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 999.99);
}

TEST_F(RequestHandling, SevenDigitsKeepTheLastSix)
{
    EXPECT_EQ(ask(bytes({0x0B, 7, 4, 2, 0, 1, 0, 0})), kAck);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 10.24);
}

TEST_F(RequestHandling, AWeightRequestDuringAPendingPriceIsBothADigitAndARequest)
{
    settleSway();
    EXPECT_EQ(ask(bytes({0x0B, 3, 2, 1})), QByteArray());
    // 0x0A becomes ':', so the six characters read "54:123": the price is 54 / 100.
    EXPECT_EQ(ask(bytes({0x0A, 4, 5})), kAck + kEmptyScalesFrame.left(6) +
                                            bytes({4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0D, 0x0A}));
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 0.54);
    EXPECT_EQ(t.form.Text11.text(), "0000.54");
}

TEST_F(RequestHandling, NewPriceSettingStartsOver)
{
    ask(bytes({0x0B, 1, 1, 1}));
    // The pending setting swallows the new 0x0B as a digit, then the new one starts afresh.
    EXPECT_EQ(ask(bytes({0x0B, 4, 2, 0, 1, 0, 0})), kAck + kAck);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 10.24);
}

TEST_F(RequestHandling, PriceBytesThatAreNoDigits)
{
    // Byte 10 becomes ':', which ends the number: 1 / 100.
    EXPECT_EQ(ask(bytes({0x0B, 0x0A, 1, 0, 0, 0, 0})), kAck);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 0.01);
    // Bytes of 208 and more have no character of their own; they count as no digit.
    EXPECT_EQ(ask(bytes({0x0B, 0xFF, 0xD0, 0xFF, 0xFF, 0xFF, 0xFF})), kAck);
    EXPECT_EQ(t.state.dblPrice, 0);
    EXPECT_EQ(t.form.Text11.text(), "0000.00");
    EXPECT_EQ(ask(bytes({0x0B, 4, 2, 0, 1, 0, 0xD0})), kAck);
    EXPECT_EQ(t.state.dblPrice, 0);  // the 0xD0 stands first and ends the number at once
}

TEST_F(RequestHandling, NothingAnswersWhileZelm1IsSelected)
{
    t.form.Option1[1].setValue(true);
    t.port.receive(bytes({0x0E}));
    t.port.receive(bytes({0x0A}));
    EXPECT_TRUE(t.port.sent.isEmpty());
    EXPECT_EQ(t.port.waiting(), bytes({0x0E, 0x0A}));
    EXPECT_EQ(t.form.Text3.text(), "");

    t.form.Option1[0].setValue(true);
    // The first old byte decides the request.
    EXPECT_EQ(ask(bytes({0x0C})), bytes({0x00, 0x09, 0x0D, 0x0A}));
    EXPECT_EQ(t.form.Check1[7].value(), 0);
}

TEST_F(RequestHandling, APendingPriceWaitsThroughZelm1)
{
    ask(bytes({0x0B, 4, 2}));
    t.form.Option1[1].setValue(true);
    t.port.receive(bytes({0, 1}));
    t.form.Option1[0].setValue(true);
    EXPECT_EQ(ask(bytes({0, 0})), kAck);
    EXPECT_DOUBLE_EQ(t.state.dblPrice, 10.24);
}

TEST_F(RequestHandling, RepliesToAClosedPortAreLostQuietly)
{
    t.port.setPortOpen(false);
    for (int request : {0x0A, 0x0B, 0x0C, 0x0D, 0x0E})
        t.port.receive(bytes({request, 1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(t.port.sent.isEmpty());
    EXPECT_EQ(t.form.Text6.text(), "01 09 0D 0A");
    EXPECT_EQ(t.form.Shape1.fillColour(), kRed);
}

TEST_F(RequestHandling, BatchesOfAnyLengthAndValue)
{
    std::mt19937 random(7);
    for (int batch = 0; batch < 2000; ++batch) {
        QByteArray bytes;
        const int length = int(random() % 40);
        for (int i = 0; i < length; ++i)
            bytes.append(char(random() % 2 ? 0x0A + random() % 5 : random() % 256));
        t.port.receive(bytes);
    }
    t.port.receive(QByteArray(100000, char(0x0B)));
    t.port.takeSent();
    // Still a working terminal afterwards.
    ASSERT_EQ(t.state.intPriceEntry, 0);
    EXPECT_EQ(ask(bytes({0x0E})).size(), 4);
    EXPECT_EQ(ask(bytes({0x0A})).right(2), kAck);
}
