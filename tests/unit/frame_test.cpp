#include <gtest/gtest.h>

#include "terminal/frame.h"

using namespace dravilo;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

}  // namespace

TEST(Zelm1Frame, WorkedExamples)
{
    EXPECT_EQ(Zelm1Frame(12.5, "00000.0"), QByteArray("WW00012.5kg\r\n"));
    EXPECT_EQ(Zelm1Frame(-12.5, "00000.0"), QByteArray("WW-0012.5kg\r\n"));
    EXPECT_EQ(Zelm1Frame(300, "000000"), QByteArray("WW000300kg\r\n"));
    EXPECT_EQ(HexView(Zelm1Frame(12.5, "00000.0")), " 57 57 30 30 30 31 32 2E 35 6B 67 0D 0A");
}

TEST(Zelm1Frame, SignTakesTheFirstPosition)
{
    EXPECT_EQ(Zelm1Frame(-0.01, "00000.0"), QByteArray("WW-0000.0kg\r\n"));
    EXPECT_EQ(Zelm1Frame(0, "00000.0"), QByteArray("WW00000.0kg\r\n"));
    EXPECT_EQ(Zelm1Frame(-123456, "000000"), QByteArray("WW-23456kg\r\n"));
}

TEST(Zelm1Frame, GrowsForWeightsBeyondThePattern)
{
    const QByteArray frame = Zelm1Frame(1000.05, "000.000");
    EXPECT_EQ(frame, QByteArray("WW1000.050kg\r\n"));
    EXPECT_EQ(frame.size(), 14);
}

TEST(Zelm2Frame, WorkedExample)
{
    const QByteArray frame = Zelm2Frame(12.5, "0000.00", "0010.24", "0128.00", u'.');
    EXPECT_EQ(frame, bytes({0, 5, 2, 1, 0, 0, 4, 2, 0, 1, 0, 0, 0, 0, 8, 2, 1, 0, 0x0D, 0x0A}));
    EXPECT_EQ(HexView(frame), " 00 05 02 01 00 00 04 02 00 01 00 00 00 00 08 02 01 00 0D 0A");
}

TEST(Zelm2Frame, CarriesNoSignAndNoSeparator)
{
    // Negative weight and cost travel as their absolute digits; a comma
    // system, or one with the Arabic separator, sends the same bytes as a
    // point system.
    const QByteArray point = Zelm2Frame(12.5, "0000.00", "0010.24", "0128.00", u'.');
    EXPECT_EQ(Zelm2Frame(-12.5, "0000.00", "0010,24", "-0128,00", u','), point);
    EXPECT_EQ(Zelm2Frame(12.5, "0000.00", "0010\u066B24", "0128\u066B00", u'\u066B'), point);
    // A "-" in the price text is no digit: 0x00, last in the reversed field.
    EXPECT_EQ(Zelm2Frame(0, "000000", "-01024", "000000", u'.').mid(6, 6), bytes({4, 2, 0, 1, 0, 0}));
}

TEST(Zelm2Frame, GrowsForWeightsBeyondThePattern)
{
    const QByteArray frame = Zelm2Frame(1000.05, "000.000", "0010.24", "0000.00", u'.');
    EXPECT_EQ(frame.left(7), bytes({0, 5, 0, 0, 0, 0, 1}));
    EXPECT_EQ(frame.size(), 21);
}

TEST(DigitField, OneByteForEveryCharacterButThePoint)
{
    EXPECT_EQ(DigitField("0010.24"), bytes({4, 2, 0, 1, 0, 0}));
    EXPECT_EQ(DigitField("12a4"), bytes({4, 0, 2, 1}));
    EXPECT_EQ(DigitField(""), QByteArray());
    EXPECT_EQ(DigitField("1,5"), bytes({5, 1}));
}

TEST(HexViews, FramesLeadWithABlankRepliesDoNot)
{
    EXPECT_EQ(HexView(bytes({0x04, 0x0D, 0x0A})), " 04 0D 0A");
    EXPECT_EQ(HexView(bytes({0xFF, 0x00})), " FF 00");
    EXPECT_EQ(ReplyHexView(QByteArray("\r\n")), "0D 0A");
    EXPECT_EQ(ReplyHexView(bytes({0x00, 0x09, 0x0D, 0x0A})), "00 09 0D 0A");
    EXPECT_EQ(HexView(QByteArray()), "");
}

