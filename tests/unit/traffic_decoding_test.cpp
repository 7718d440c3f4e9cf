// What the traffic's bytes mean, against the README's protocol examples,
// in the log's English and in the window's Russian.

#include <gtest/gtest.h>

#include <QFile>

#include "app/traffic_decoding.h"
#include "app/traffic_panel.h"

using namespace dravilo;

namespace {

QString readme()
{
    QFile file(QStringLiteral(README_PATH));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).simplified() : QString();
}

}  // namespace

TEST(TrafficDecoding, ReadsTheReferenceExamples)
{
    const struct {
        TrafficKind kind;
        const char* hex;
        std::uint8_t s2, mode;
        const char* english;
        const char16_t* russian;
        bool inReadme = true;
    } rows[] = {
        {TrafficKind::WeightFrame, "00 05 02 01 00 00 04 02 00 01 00 00 00 00 08 02 01 00 0D 0A", 0x0A, 0,
         "weight frame: weight 0012.50, price 0010.24, cost 0128.00 (mode 0)",
         u"кадр веса: вес 0012.50, цена 0010.24, стоимость 0128.00 (режим 0)"},
        {TrafficKind::WeightFrame, "00 00 00 00 01 00 04 02 00 01 00 00 00 00 00 04 02 00 01 0D 0A", 0x09, 0,
         "weight frame: weight 01000.0, price 0010.24, cost 10240.00 (mode 0)",
         u"кадр веса: вес 01000.0, цена 0010.24, стоимость 10240.00 (режим 0)"},
        {TrafficKind::WeightFrame, "09 09 00 00 00 00 04 02 00 01 00 00 00 04 02 00 01 00 0D 0A", 0x09, 0,
         "weight frame: weight 00009.9, price 0010.24, cost 0102.40 (mode 0)",
         u"кадр веса: вес 00009.9, цена 0010.24, стоимость 0102.40 (режим 0)"},
        {TrafficKind::WeightFrame, "00 05 02 01 00 00 04 02 00 01 00 00 00 00 08 02 01 00 0D 0A", 0x1A, 1,
         "weight frame: weight 0012.50, weight of one piece 0010.24, pieces 0128.00 (mode 1)",
         u"кадр веса: вес 0012.50, вес 1 шт. 0010.24, количество шт. 0128.00 (режим 1)"},
        {TrafficKind::WeightFrame, "00 05 02 01 0D 0A", 0x0A, 0, "weight frame: not readable as one",
         u"кадр веса: не читается как таковой", false},
        {TrafficKind::Zelm1Line, "57 57 30 30 30 30 31 32 6B 67 0D 0A", 0, 0,
         "ZELM-1 line: weight 000012 kg, format 000000", u"строка ЗЕЛМ-1: вес 000012 кг, формат 000000"},
        {TrafficKind::Zelm1Line, "57 57 30 30 30 31 32 2E 33 6B 67 0D 0A", 0, 0,
         "ZELM-1 line: weight 00012.3 kg, format 00000.0", u"строка ЗЕЛМ-1: вес 00012.3 кг, формат 00000.0"},
        {TrafficKind::Zelm1Line, "57 57 30 30 31 32 2E 33 34 6B 67 0D 0A", 0, 0,
         "ZELM-1 line: weight 0012.34 kg, format 0000.00", u"строка ЗЕЛМ-1: вес 0012.34 кг, формат 0000.00"},
        {TrafficKind::Zelm1Line, "57 57 30 31 32 2E 33 34 30 6B 67 0D 0A", 0, 0,
         "ZELM-1 line: weight 012.340 kg, format 000.000", u"строка ЗЕЛМ-1: вес 012.340 кг, формат 000.000"},
        {TrafficKind::Zelm1Line, "57 57 2D 30 30 31 32 2E 35 6B 67 0D 0A", 0, 0,
         "ZELM-1 line: weight -0012.5 kg, format 00000.0", u"строка ЗЕЛМ-1: вес -0012.5 кг, формат 00000.0"},
        {TrafficKind::Zelm1Line, "57 57 31 30 30 30 2E 30 35 30 6B 67 0D 0A", 0, 0,
         "ZELM-1 line: weight 1000.050 kg, format 000.000", u"строка ЗЕЛМ-1: вес 1000.050 кг, формат 000.000",
         false},
        {TrafficKind::Zelm1Line, "57 57 30 30 30 31 32 2E 33 6B 0D 0A", 0, 0, "ZELM-1 line: not readable as one",
         u"строка ЗЕЛМ-1: не читается как таковой", false},
        {TrafficKind::StatusReply, "00 09 0D 0A", 0, 0, "status: S1=00, S2=09 (D3-point in price, D0-point in weight)",
         u"состояние: S1=00, S2=09 (D3-положение точки в цене, D0-положение точки в весе)"},
        {TrafficKind::StatusReply, "81 09 0D 0A", 0, 0,
         "status: S1=81 (D7-Tara, D0-Neto), S2=09 (D3-point in price, D0-point in weight)",
         u"состояние: S1=81 (D7-Тара, D0-Нето), S2=09 (D3-положение точки в цене, D0-положение точки в весе)"},
        {TrafficKind::Acknowledgement, "0D 0A", 0, 0, "acknowledgement", u"подтверждение"},
    };
    const QString reference = readme();
    ASSERT_FALSE(reference.isEmpty());
    for (const auto& row : rows) {
        TrafficEvent event{.direction = TrafficDirection::ToHost, .kind = row.kind,
                           .bytes = QByteArray::fromHex(row.hex)};
        event.context.s2 = row.s2;
        event.context.mode = row.mode;
        EXPECT_EQ(TrafficWhat(event, 0).toStdString(), row.english) << row.hex;
        EXPECT_EQ(TrafficWhat(event, 1), QString::fromUtf16(row.russian)) << row.hex;
        if (row.inReadme) {
            EXPECT_TRUE(reference.contains(QLatin1String(row.hex))) << row.hex << " is no README example";
        }
    }
}

// The port's, the line's and the faults' English phrases in Russian, with
// what varies in them kept; a text no phrase knows stays as it is.
TEST(TrafficDecoding, RecordedPhrasesFollowTheLanguage)
{
    const struct {
        const char* english;
        const char16_t* russian;
        bool fault;
    } rows[] = {
        {"port COM2 opened: 9600,n,8,1", u"порт COM2 открыт: 9600,n,8,1", false},
        {"port lost: its device went away", u"порт потерян: его устройство исчезло", false},
        {"host 127.0.0.1:50312 refused: 127.0.0.1:50311 has the line",
         u"хосту 127.0.0.1:50312 отказано: линию занимает 127.0.0.1:50311", false},
        {"not sent: the port is closed", u"не отправлено: порт закрыт", false},
        {"not sent: Output buffer full", u"не отправлено: Output buffer full", false},
        {"drop", u"ответ отброшен", true},
        {"corrupt: byte 3 changed", u"искажение: изменён байт 3", true},
        {"2 held replies dropped: the port closed or was lost", u"удержанные ответы отброшены (2): порт закрыт или потерян",
         true},
        {"not sent: the line is busy (4096 bytes waiting)", u"не отправлено: линия занята (ждут байт: 4096)", false},
        {"the host set DTR on, RTS off, a break", u"хост установил: DTR вкл, RTS выкл, разрыв линии (break)", false},
        {"COM-PORT: parity 9 refused", u"COM-PORT: отклонено: чётность 9", false},
        {"device chosen: COM2 → virtual port /run/user/1000/dravilo/COM2",
         u"выбрано устройство: COM2 → виртуальный порт /run/user/1000/dravilo/COM2", false},
        {"dropped", u"dropped", false},
    };
    for (const auto& row : rows) {
        const TrafficEvent event{.words = QString::fromUtf8(row.english)};
        EXPECT_EQ(TrafficWhat(event, 0).toStdString(), row.english);
        EXPECT_EQ(TrafficWhat(event, 1), QString::fromUtf16(row.russian)) << row.english;
        EXPECT_EQ(IsLineFault(event), row.fault) << row.english;
    }
}

TEST(HexBytes, TwoDigitsAByteAndNoMoreThanTheBound)
{
    const struct {
        QString typed;
        const char* bytes;  // HEX, or nothing when refused
        const char* why;
    } rows[] = {
        {"0A", "0a", ""},
        {" 00 09\t0D 0a ", "00090d0a", ""},
        {"000D0A", "000d0a", ""},
        {"FF", "ff", ""},
        {"", nullptr, "nothing to send: give bytes in HEX, such as 0A or 00 09 0D 0A"},
        {"0A zz", nullptr, "zz is not bytes in HEX: each byte is two HEX digits, such as 0A or 00 09 0D 0A"},
        {"0A 0", nullptr, "0 is not bytes in HEX: each byte is two HEX digits, such as 0A or 00 09 0D 0A"},
        {"٠١", nullptr, "٠١ is not bytes in HEX: each byte is two HEX digits, such as 0A or 00 09 0D 0A"},
        {QString(2 * kMostBytesByHand, u'0'), "", ""},
        {QString(2 * kMostBytesByHand + 2, u'0'), nullptr, "at most 1024 bytes at a time; 1025 given"},
    };
    for (const auto& row : rows) {
        QString why;
        const std::optional<QByteArray> bytes = HexBytes(row.typed, why, 0);
        const std::string typed = row.typed.left(20).toStdString();
        if (row.bytes && *row.bytes) {
            ASSERT_TRUE(bytes) << typed << ": " << why.toStdString();
            EXPECT_EQ(bytes->toHex(), row.bytes) << typed;
        } else if (row.bytes) {
            ASSERT_TRUE(bytes) << typed << ": " << why.toStdString();
            EXPECT_EQ(bytes->size(), kMostBytesByHand);
        } else {
            EXPECT_FALSE(bytes) << typed;
            EXPECT_EQ(why.toStdString(), row.why);
        }
    }
}
