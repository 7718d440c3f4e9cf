#include <gtest/gtest.h>

#include <limits>

#include "base/number_text.h"

using namespace dravilo;

TEST(Format, PadsRoundsAndSignsInEveryPattern)
{
    EXPECT_EQ(Format(11.1, "00000.0", u'.'), "00011.1");
    EXPECT_EQ(Format(-11.1, "00000.0", u'.'), "-00011.1");
    EXPECT_EQ(Format(11.1, "0000.00", u'.'), "0011.10");
    EXPECT_EQ(Format(300, "000000", u'.'), "000300");
    EXPECT_EQ(Format(12.5, "000.000", u'.'), "012.500");
    EXPECT_EQ(Format(0, "0000.00", u'.'), "0000.00");
    EXPECT_EQ(Format(11.16, "00000.0", u'.'), "00011.2");
    EXPECT_EQ(Format(227.328, "0000.00", u'.'), "0227.33");
}

TEST(Format, RoundsTiesAwayFromZeroAsTheValueIsWritten)
{
    // 2.675 is stored a little below itself; people read it as a tie.
    EXPECT_EQ(Format(2.675, "0000.00", u'.'), "0002.68");
    EXPECT_EQ(Format(0.125, "0000.00", u'.'), "0000.13");
    EXPECT_EQ(Format(-0.125, "0000.00", u'.'), "-0000.13");
    EXPECT_EQ(Format(99999.95, "00000.0", u'.'), "100000.0");  // the carry adds a digit
    EXPECT_EQ(Format(0.5, "000000", u'.'), "000001");
    EXPECT_EQ(Format(9.9999, "000.000", u'.'), "010.000");
}

TEST(Format, KeepsEveryIntegerDigitBeyondThePattern)
{
    EXPECT_EQ(Format(1000.05, "000.000", u'.'), "1000.050");
    EXPECT_EQ(Format(-123456, "000000", u'.'), "-123456");
    EXPECT_EQ(Format(1e20, "000000", u'.'), "100000000000000000000");
}

TEST(Format, NegativeThatRoundsToZeroKeepsItsSign)
{
    EXPECT_EQ(Format(-0.01, "00000.0", u'.'), "-00000.0");
    EXPECT_EQ(Format(-0.0, "00000.0", u'.'), "00000.0");
}

TEST(Format, UsesTheLocaleSeparator)
{
    EXPECT_EQ(Format(10.24, "0000.00", u','), "0010,24");
    EXPECT_EQ(Format(10.24, "000000", u','), "000010");
}

TEST(Format, NonFiniteValuesStayWritable)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Format(std::nan(""), "0000.00", u'.'), "0000.00");
    const QString huge = Format(inf, "0000.00", u'.');
    EXPECT_EQ(huge.size(), 309 + 3);
    EXPECT_TRUE(huge.startsWith("17976931348623"));
    EXPECT_TRUE(Format(-inf, "000000", u'.').startsWith("-1797"));
}

TEST(ValueOfText, TakesTheLeadingDecimalNumber)
{
    constexpr QChar kArabic = u'\u066B';
    const struct {
        QString text;
        QChar separator;
        double value;
    } cases[] = {
        {"11.16", u'.', 11.16}, {"11,16", u'.', 11.16}, {"-11.1", u'.', -11.1}, {"+5kg", u'.', 5},
        {"  7", u'.', 7}, {".5", u'.', 0.5}, {"5.", u'.', 5}, {"1.2.3", u'.', 1.2}, {"1,2,3", u'.', 1.2},
        {"0010.24", u'.', 10.24}, {"12abc", u'.', 12},
        // Whatever the locale wrote reads back: "." and "," always, its own separator too.
        {QString("00011") + kArabic + "1", kArabic, 11.1}, {"11,1", kArabic, 11.1},
        {QString("11") + kArabic + "1", u'.', 11},
        {"", u'.', 0}, {"-", u'.', 0}, {"+", u'.', 0}, {",", u'.', 0}, {".", u'.', 0}, {"abc", u'.', 0},
        {"-.", u'.', 0}, {"kg 5", u'.', 0}, {"e5", u'.', 0},
        {"99999999999999999999", u'.', 1e20},
        {QString(400, u'9'), u'.', std::numeric_limits<double>::max()},
        {"-" + QString(400, u'9'), u'.', -std::numeric_limits<double>::max()},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ValueOfText(c.text, c.separator), c.value) << c.text.toStdString();
}

TEST(PlainNumber, ReadsBackAsTheSameValueWithoutAnExponent)
{
    for (const double v : {0.1, 0.1234567, 1e-07, 12345678.5, -0.001, 3.0, 1e21})
        EXPECT_EQ(ValueOfText(PlainNumber(v, u','), u','), v) << v;
    EXPECT_EQ(PlainNumber(0.1234567, u'.'), "0.1234567");
    EXPECT_EQ(PlainNumber(1e-07, u'.'), "0.0000001");
    EXPECT_EQ(PlainNumber(0.1, u','), "0,1");
    EXPECT_EQ(PlainNumber(3, u'.'), "3");
}

TEST(WholeNumber16, WholeTextInTheLocaleNotationRoundedDown)
{
    EXPECT_EQ(WholeNumber16("150", u'.'), 150);
    EXPECT_EQ(WholeNumber16(" 2500 ", u'.'), 2500);
    EXPECT_EQ(WholeNumber16("300.7", u'.'), 300);
    EXPECT_EQ(WholeNumber16("300,7", u','), 300);
    EXPECT_EQ(WholeNumber16("-0.5", u'.'), -1);
    EXPECT_EQ(WholeNumber16("32767.9", u'.'), 32767);
    EXPECT_EQ(WholeNumber16("-32768", u'.'), -32768);
}

TEST(WholeNumber16, RefusesWhatIsNoNumberOrTooLarge)
{
    for (const char* text : {"", "-", "abc", "12abc", "300,7", "1.2.3", "40000", "-32769", "1e3"})
        EXPECT_FALSE(WholeNumber16(text, u'.').has_value()) << text;
}

