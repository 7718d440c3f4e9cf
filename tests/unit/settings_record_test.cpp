#include <gtest/gtest.h>

#include "local_text.h"
#include "program/settings_record.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

SettingsRecord defaults()
{
    SettingsRecord r;
    DefaultSettings(r, "/opt/Dravilo v.2.00/");
    return r;
}

QByteArray le16(int v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); }

}  // namespace

TEST(SettingsBytes, DefaultsLieAtTheStartOfTheirRecords)
{
    const QByteArray file = EncodeSettings(defaults());
    EXPECT_EQ(file.left(9), QByteArray("\x07\x00" "Dravilo", 9));
    EXPECT_EQ(file.mid(500, 8), QByteArray("\x06\x00" "v.2.00", 8));
    EXPECT_EQ(file.mid(2000, 2), QByteArray(2, '\0'));
    EXPECT_EQ(file.mid(2500, 12), QByteArray("\x0A\x00" "9600,n,8,1", 12));
    EXPECT_EQ(file.mid(3000, 2), le16(2));
    EXPECT_EQ(file.mid(3500, 4), QByteArray("\x80\x25\x00\x00", 4));  // 9600
    EXPECT_EQ(file.mid(5500, 2), le16(150));
    EXPECT_EQ(file.mid(7000, 8).toHex(' '), "9a 99 99 99 99 99 b9 3f");
    EXPECT_EQ(file.mid(7500, 4), QByteArray("\x64\x00\x00\x00", 4));  // 100
    EXPECT_EQ(file.size(), 9002);  // ends right after field 19
    EXPECT_EQ(file.mid(9, 491), QByteArray(491, '\0'));
}

TEST(SettingsBytes, DecodingAndEncodingAgain)
{
    SettingsRecord r = defaults();
    r.strResultsFolder = LocalText({u"/home/оператор/Результаты/", u"/home/opérateur/Résultats/"});
    r.intLanguage = 7;  // out of range values are kept as they are
    r.lngCycleMax = -5;
    r.dblSwayAmplitude = 0.1234567;
    const QByteArray file = EncodeSettings(r);
    const std::optional<SettingsRecord> back = DecodeSettings(file, defaults());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->strResultsFolder, r.strResultsFolder);
    EXPECT_EQ(back->intLanguage, 7);
    EXPECT_EQ(back->dblSwayAmplitude, 0.1234567);
    EXPECT_EQ(EncodeSettings(*back), file);

    // A longer file keeps everything beyond the fields, and what a record
    // holds after its value.
    QByteArray longer = file + QByteArray(700, 'x');
    longer[600] = 'y';
    longer.replace(0, 9, QByteArray("\x07\x00" "Foreign", 9));
    const QByteArray saved = EncodeSettings(r, longer);
    EXPECT_EQ(saved.size(), longer.size());
    EXPECT_EQ(saved.right(700), QByteArray(700, 'x'));
    EXPECT_EQ(saved[600], 'y');
    EXPECT_EQ(saved.left(9), file.left(9));
}

TEST(SettingsBytes, WhatAFileCanSupply)
{
    SettingsRecord stored = defaults();
    stored.intSendPeriod = 40;
    stored.lngCyclePeriod = 9;
    const QByteArray whole = EncodeSettings(stored);
    QByteArray longName = whole;
    longName.replace(0, 2, le16(499));
    QByteArray brokenParity = whole;
    brokenParity.replace(4000, 2, le16(1000));
    QByteArray negativeLength = whole;
    negativeLength.replace(1500, 2, le16(0xFFFF));

    const struct {
        const char* what;
        QByteArray file;
        bool read;
        std::int16_t period;  // when read
        std::int32_t cyclePeriod;
    } cases[] = {
        {"empty", {}, false, 0, 0},
        {"ends inside field 1", whole.left(5), false, 0, 0},
        {"ends inside field 2", whole.left(505), false, 0, 0},
        {"first length word over 498", longName, false, 0, 0},
        {"a later length word over 498", brokenParity, false, 0, 0},
        {"a negative length word", negativeLength, false, 0, 0},
        {"only fields 1 and 2", whole.left(508), true, 150, 2},
        {"fields 1 to 12", whole.left(5502), true, 40, 2},
        {"ends inside field 18", whole.left(8502), true, 40, 2},
        {"whole", whole, true, 40, 9},
    };
    for (const auto& c : cases) {
        const std::optional<SettingsRecord> r = DecodeSettings(c.file, defaults());
        ASSERT_EQ(r.has_value(), c.read) << c.what;
        if (!r)
            continue;
        EXPECT_EQ(r->intSendPeriod, c.period) << c.what;
        EXPECT_EQ(r->lngCyclePeriod, c.cyclePeriod) << c.what;
        EXPECT_EQ(r->strProductName, "Dravilo") << c.what;
    }
}

TEST(SettingsBytes, ATextNeverSpillsIntoTheNextRecord)
{
    // Two bytes in UTF-8; one ("?" where it has none) in an ANSI code page.
    const QByteArray one = QString(u'ж').toLocal8Bit();
    SettingsRecord r = defaults();
    r.strParity = QString(600, u'ж');
    const QByteArray file = EncodeSettings(r);
    const std::optional<SettingsRecord> back = DecodeSettings(file, defaults());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->strParity, QString::fromLocal8Bit(one.repeated(498 / one.size())));  // cut at a whole character
    EXPECT_EQ(back->intDataBits, 8);
}
