#include "base/captions.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "base/form1.h"

namespace dravilo {

namespace {

struct Caption {
    Captioned* control;
    Bilingual text;
};

// The status bits' boxes, from D7 at the top down to D0.
constexpr Bilingual kS1Flags[8] = {
    {u"D7-Тара", u"D7-Tara"},
    {u"D6-батарея разряжена", u"D6-battery is low"},
    {u"D5-при вкл. не ноль", u"D5-ON not zero"},
    {u"D4-вес нестабилен", u"D4-weight unstable"},
    {u"D3-вес не в кг", u"D3-kg weight not"},
    {u"D2-перегруз", u"D2-overload"},
    {u"D1-знак веса минус", u"D1-weight minus sign"},
    {u"D0-Нето", u"D0-Neto"},
};
constexpr Bilingual kS2Flags[8] = {
    {u"D7-резерв", u"D7-reserve"},
    {u"D6-резерв", u"D6-reserve"},
    {u"D5-режим работы", u"D5-mode"},
    {u"D4-режим работы", u"D4-mode"},
    {u"D3-положение точки в цене", u"D3-point in price"},
    {u"D2-положение  точки в цене", u"D2-point in price"},
    {u"D1-положение точки в весе", u"D1-point in weight"},
    {u"D0-положение точки в весе", u"D0-point in weight"},
};

std::vector<Caption> captionTable(Form1& f)
{
    std::vector<Caption> table{
        {&f.mnu_File, {u"Меню", u"Menu"}},
        {&f.mnu_Exit, {u"Выход", u"Exit"}},
        {&f.mnu_Setting, {u"Настройка", u"Setting"}},
        {&f.mnu_lanq, {u"Язык", u"Language"}},
        {&f.Basis_Frame1, {u"Настройки программы", u"Program Settings"}},
        {&f.Basis_Label1, {u"Директория для хранения результатов", u"Directory to save the results"}},
        {&f.Basis_Command1, {u"Изменить", u"To sample"}},
        {&f.mnu_Traffic, {u"Обмен", u"Traffic"}},
        {&f.Traffic_Frame1, {u"Обмен по линии", u"Line traffic"}},
        {&f.Traffic_Label1[0], {u"Время", u"Time"}},
        {&f.Traffic_Label1[1], {u"Направление", u"Direction"}},
        {&f.Traffic_Label1[2], {u"HEX", u"HEX"}},
        {&f.Traffic_Label1[3], {u"Текст", u"Text"}},
        {&f.Traffic_Label1[4], {u"Что это", u"What it is"}},
        {&f.Traffic_Check1, {u"Пауза", u"Pause"}},
        {&f.Traffic_Command1, {u"Очистить", u"Clear"}},
        {&f.Traffic_Command2, {u"Сохранить...", u"Save..."}},
        {&f.Traffic_Label2, {u"Показать:", u"Show:"}},
        {&f.Traffic_Label3, {u"Найти в «Что это»:", u"Find in \"What it is\":"}},
        {&f.Traffic_Label4, {u"Байты хосту (HEX):", u"Bytes to the host (HEX):"}},
        {&f.Traffic_Command3, {u"Послать", u"Send"}},

        {&f.Label6, {u"Работа с весами", u"Working with weights"}},
        {&f.Frame3, {u"Установка груза на весы", u"Setting load"}},
        {&f.Label9, {u"Заданый вес", u"Set weight"}},
        {&f.Label24, {u"Формат. вес", u"Format weight"}},
        {&f.Label2, {u"Вес 1:", u"Weight 1:"}},
        {&f.Label7, {u"Вес 2:", u"Weight 2:"}},
        {&f.Command1, {u"Вес 1", u"Weight 1"}},
        {&f.Command2, {u"Вес 2", u"Weight 2"}},
        {&f.Command3, {u"Снять", u"Take off"}},
        {&f.Label23, {u"Формат", u"Format"}},
        {&f.Frame5, {u"Колебание груза на весах", u"Sway on the scales"}},
        {&f.Label4, {u"Амплитуда колебаний:", u"The amplitude of the oscillations:"}},
        {&f.Label5, {u"Количество  колебаний:", u"The number of oscillations:"}},
        {&f.Command5, {u"Изменить", u"Change"}},
        {&f.Check4, {u"Вес нестабилен при колебании (S1 D4)", u"Unstable while it sways (S1 D4)"}},
        {&f.Frame6, {u"Задание циклов взвешиваний", u"Task of weighing cycles"}},
        {&f.Label20, {u"Макс. количество (2..100 000):", u"Max counter (2..100000):"}},
        {&f.Label21, {u"Период (1..100 000), сек", u"Period (1..100000), s"}},
        {&f.Check2, {u"Цикл", u"Cicle"}},

        {&f.Label8, {u"Настройка СОМ порта ", u"Configuring the COM port"}},
        {&f.Frame1, {u"Настройка порта", u"Port settings"}},
        {&f.Label1[1], {u"Скорость", u"Rate"}},
        {&f.Label1[2], {u"чет/нечет", u"Odd / Even"}},
        {&f.Label1[3], {u"бит", u"бит"}},
        {&f.Label1[4], {u"стоп бит", u"Stop bit"}},
        {&f.Port_Label2, {u"Устройство:", u"Device:"}},
        {&f.Label17, {u"Порт настроен: COM", u"Port settings: COM"}},
        {&f.Label15, {u"Посылка в текстовом формате", u"Sending a text format"}},
        {&f.Label16, {u"Посылка в HEX формате", u"Sending in HEX format"}},
        {&f.Label3, {u"Период,мсек:", u"Period, ms:"}},
        {&f.Command4, {u"Изменить", u"Change"}},
        {&f.Label11, {u"Посылка через СОМ-порт каждые:", u"Making a COM port every:"}},
        {&f.Label13, {u"мсек", u"ms"}},
        {&f.Fault_Frame1, {u"Сбои линии", u"Line faults"}},
        {&f.Fault_Label1, {u"Сбой", u"Fault"}},
        {&f.Fault_Label2, {u"Задержка, мсек", u"Delay, ms"}},
        {&f.Fault_Label3, {u"Каких ответов", u"Which replies"}},
        {&f.Fault_Label4, {u"Действует:", u"In force:"}},
        {&f.Fault_Command1, {u"Применить", u"Apply"}},
        {&f.Fault_Command2, {u"Снять", u"Off"}},

        {&f.Label14, {u"Выбор типа весового терминала", u"Select the type of weighing terminal"}},
        {&f.Frame2, {u"Тип терминала", u"Type of terminal"}},
        {&f.Option1[0], {u"ЗЕЛМ-2", u"ZELM-2"}},
        {&f.Option1[1], {u"ЗЕЛМ-1", u"ZELM-1"}},
        {&f.Frame4, {u"ЗЕЛМ", u"ZELM"}},
        {&f.Label10, {u"Вес", u"Weight"}},
        {&f.Label25, {u"Цена", u"Price"}},
        {&f.Label26, {u"Стоимость", u"Cost"}},
        {&f.Frame7, {u"ЗЕЛМ-2", u"ZELM-2"}},
        {&f.Label29, {u"Цена", u"Price"}},
    };
    for (int i = 0; i < 8; ++i) {
        table.push_back({&f.Check1[i], kS1Flags[i]});
        table.push_back({&f.Check3[i], kS2Flags[i]});
    }
    return table;
}

constexpr std::array<Bilingual, 12> kMonths{{
    {u"Января", u"January"},
    {u"Февраля", u"February"},
    {u"Марта", u"March"},
    {u"Апреля", u"April"},
    {u"Мая", u"May"},
    {u"Июня", u"June"},
    {u"Июля", u"July"},
    {u"Августа", u"August"},
    {u"Сентября", u"September"},
    {u"Октября", u"October"},
    {u"Ноября", u"November"},
    {u"Декабря", u"December"},
}};

constexpr std::array<ModeCaptions, 3> kModeCaptions{{
    {{u"Вес", u"Weight"}, {u"Цена", u"Price"}, {u"Стоимость", u"Cost"}},
    {{u"Вес", u"Weight"}, {u"Вес 1 шт.", u"Weight 1 pcs."}, {u"Количество шт.", u"Number of pieces."}},
    {{u"Общий вес", u"Total weight"}, {u"Количество", u"Number"}, {u"Общая стоимость", u"Total Cost"}},
}};

}  // namespace

const Bilingual kZelm1Display{u"ЗЕЛМ-1", u"ZELM-1"};
const Bilingual kZelm2Display{u"ЗЕЛМ-2", u"ZELM-2"};
const Bilingual kWeightCaption{u"Вес", u"Weight"};
const Bilingual kFolderTooLong{u"Путь к папке длиннее 498 байт и не помещается в файл настроек:\n",
                               u"The folder path is longer than 498 bytes and does not fit the settings file:\n"};

const Bilingual kCannotReadSettings{
    u"Файл настроек %1 не читается (%2). Программа работает с настройками по умолчанию и не перезаписывает этот файл.",
    u"The settings file %1 cannot be read (%2). The program runs with the default settings and leaves the file as it is."};
const Bilingual kCannotSaveSettings{u"Настройки не сохранены в %1: %2",
                                    u"The settings cannot be saved to %1: %2"};
const Bilingual kSettingsFileKept{u"файл не читался при запуске и оставлен как есть",
                                  u"the file could not be read at start and is left as it is"};
const Bilingual kCannotCreateFolder{u"Не удалось создать папку %1", u"The folder %1 cannot be created"};
const Bilingual kProgramFolderElsewhere{u"Папка %1 не принимает файлы программы; они хранятся в %2",
                                        u"The folder %1 takes none of the program's files; they are kept in %2"};
const Bilingual kPaceOfTheLine{u"Темп линии %1: %2 мс на байт", u"Pace of a %1 line: %2 ms a byte"};
const Bilingual kNoFault{u"нет", u"none"};
const Bilingual kPaceInstant{u"Байты идут сразу (--line-pace instant)", u"Bytes cross at once (--line-pace instant)"};
const Bilingual kHostGarbles{u"; у хоста %1, байты искажаются", u"; the host's %1 garbles the bytes"};
const Bilingual kFramesNotSent{u"; не отправлено (линия занята): %1", u"; not sent, the line busy: %1"};
const Bilingual kVirtualPortItem{u"виртуальный порт", u"virtual port"};
const Bilingual kCannotChooseDevice{u"Устройство %1 не выбрано для COM%2: %3", u"%1 is not chosen for COM%2: %3"};
const Bilingual kTrafficDialogTitle{u"Сохранить обмен по линии", u"Save the line traffic"};
const Bilingual kCannotSaveTraffic{u"Не удалось сохранить обмен в файл %1: %2",
                                   u"The traffic cannot be saved to %1: %2"};

const Bilingual& StatusFlagCaption(int statusByte, int bit)
{
    return (statusByte == 1 ? kS1Flags : kS2Flags)[7 - bit];
}

const TrafficWords kTrafficWords{
    {u"от хоста", u"from-host"},
    {u"хосту", u"to-host"},
    {u"программа", u"program"},
    {{u"запрос веса", u"weight request"},
     {u"установка цены", u"price setting"},
     {u"запрос нетто", u"net request"},
     {u"запрос снятия груза", u"take-off request"},
     {u"запрос состояния", u"status request"}},
    {u"0x%1: не запрос, ответа нет", u"0x%1: not a request, no reply"},
    {u"следующие за ним байты (%1) не читаются как запросы", u"the %1 bytes after it are not read as requests"},
    {u"цифры цены: %1", u"price digits: %1"},
    {u"установка цены: %1", u"price setting: %1"},
    {u"пока %1 из 6 цифр", u"%1 of 6 digits so far"},
    {u"цена установлена: %1", u"price set to %1"},
    {u"; затем ", u"; then "},
    {u"кадр веса: %1", u"weight frame: %1"},
    {{{u"вес", u"weight"}, {u"цена", u"price"}, {u"стоимость", u"cost"}},
     {{u"вес", u"weight"}, {u"вес 1 шт.", u"weight of one piece"}, {u"количество шт.", u"pieces"}},
     {{u"общий вес", u"total weight"}, {u"количество", u"weighings"}, {u"общая стоимость", u"total cost"}}},
    {u"(режим %1)", u"(mode %1)"},
    {u"строка ЗЕЛМ-1: %1", u"ZELM-1 line: %1"},
    {u"вес %1 кг, формат %2", u"weight %1 kg, format %2"},
    {u"подтверждение", u"acknowledgement"},
    {u"состояние: %1", u"status: %1"},
    {u"не читается как таковой", u"not readable as one"},
    {u"… (всего байт: %1)", u"… (%1 bytes in all)"},
};

const std::vector<TrafficPhrase>& TrafficPhrases()
{
    // More particular phrases before the general ones they would also match.
    static const std::vector<TrafficPhrase> phrases{
        {{u"порт COM%1 открыт: %2", u"port COM%1 opened: %2"}},
        {{u"порт COM%1 снова открыт: %2", u"port COM%1 back: %2"}},
        {{u"порт COM%1 не открыт: %2", u"port COM%1 not opened: %2"}},
        {{u"порт закрыт", u"port closed"}},
        {{u"порт потерян: его устройство исчезло", u"port lost: its device went away"}},
        {{u"порт потерян: %1", u"port lost: %1"}},
        {{u"выбор отклонён: %1", u"pick refused: %1"}},
        {{u"устройство не выбрано: %1", u"device not chosen: %1"}},
        {{u"выбрано устройство: %1", u"device chosen: %1"}},
        {{u"COM%1 → %2; %3", u"COM%1 → %2; %3"}},
        {{u"COM%1 → %2", u"COM%1 → %2"}},
        {{u"виртуальный порт %1", u"virtual port %1"}},
        {{u"%1; его %2", u"%1; its %2"}},
        {{u"%1, хост не подключён", u"%1, no host connected"}},
        {{u"%1, подключён хост %2", u"%1, host %2 connected"}},
        {{u"ждёт хоста на %1", u"waiting for a host on %1"}},
        {{u"CTS %1, DSR %2, DCD %3", u"CTS %1, DSR %2, DCD %3"}},
        {{u"не отправлено: порт закрыт", u"not sent: the port is closed"}},
        {{u"линия занята (ждут байт: %1)", u"the line is busy (%1 bytes waiting)"}},
        {{u"хост не читает", u"the host is not reading"}},
        {{u"не отправлено: %1", u"not sent: %1"}},
        {{u"выбран ЗЕЛМ-1: ничего не прочитано", u"ZELM-1 is selected: nothing read"}},
        {{u"послано вручную", u"sent by hand"}},
        {{u"хост %1 подключился", u"host %1 connected"}},
        {{u"хост %1 отключился", u"host %1 left"}},
        {{u"хосту %1 отказано: линию занимает %2", u"host %1 refused: %2 has the line"}},
        {{u"хост установил: %1", u"the host set %1"}},
        {{u"DTR %1, RTS %2, разрыв линии (break)", u"DTR %1, RTS %2, a break"}},
        {{u"DTR %1, RTS %2", u"DTR %1, RTS %2"}},
        {{u"вкл", u"on"}},
        {{u"выкл", u"off"}},
        {{u"Telnet: подсогласование без конца отброшено", u"Telnet: a sub-negotiation without its end discarded"}},
        {{u"Telnet: подсогласование длиннее %1 байт отброшено",
          u"Telnet: a sub-negotiation of more than %1 bytes discarded"}},
        {{u"Telnet: подсогласование параметра %1 пропущено", u"Telnet: a sub-negotiation of option %1 ignored"}},
        {{u"COM-PORT: скорость из %1 байт пропущена", u"COM-PORT: a rate of %1 bytes ignored"}},
        {{u"COM-PORT: приостановка и возобновление потока пропущены: у линии нет квитирования",
          u"COM-PORT: flow control suspend and resume ignored: the line has no handshake"}},
        {{u"COM-PORT: команда %1 из %2 байт пропущена", u"COM-PORT: command %1 with %2 bytes ignored"}},
        {{u"COM-PORT: очистка %1 пропущена", u"COM-PORT: purge %1 ignored"}},
        {{u"COM-PORT: значение управления %1 пропущено", u"COM-PORT: control value %1 ignored"}},
        {{u"COM-PORT: отклонено: %1 %2", u"COM-PORT: %1 %2 refused"}},
        {{u"размер данных", u"data size"}},
        {{u"чётность", u"parity"}},
        {{u"стоповые биты", u"stop size"}},
        {{u"хост установил линию %1, как у терминала", u"the host set its line to %1, as the terminal's"}},
        {{u"хост установил линию %1; у терминала %2", u"the host set its line to %1; the terminal's is %2"}},
        {{u"%1 хоста не совпадает с %2 терминала: байты искажаются, как на настоящей линии",
          u"the host's %1 does not match the terminal's %2: bytes are garbled as on a real line"}},
        {{u"%1 хоста снова совпадает с терминалом", u"the host's %1 matches the terminal's again"}},
        {{u"байты идут в темпе линии %1, %2 мс на байт", u"bytes cross at the pace of a %1 line, %2 ms a byte"}},
        {{u"байты проходят сразу (--line-pace instant)", u"bytes cross at once (--line-pace instant)"}},
        {{u"хост шлёт быстрее, чем несёт линия: потеряно байт: %1",
          u"the host sends faster than the line carries: %1 bytes lost"}},
        {{u"ответ отброшен", u"drop"}, true},
        {{u"задержка: ответ удержан на %1 мс", u"delay: held for %1 ms"}, true},
        {{u"искажение: изменён байт %1", u"corrupt: byte %1 changed"}, true},
        {{u"обрыв после байт: %1", u"cut after %1 bytes"}, true},
        {{u"шум: байт перед ответом: %1", u"noise: %1 bytes before the reply"}, true},
        {{u"послан после задержки", u"sent after its delay"}, true},
        {{u"послан сразу: сбой снят", u"sent at once: the fault was ended"}, true},
        {{u"удержанные ответы отброшены (%1): порт закрыт или потерян",
          u"%1 held replies dropped: the port closed or was lost"}, true},
    };
    return phrases;
}

const Bilingual kTrafficShows[5] = {
    {u"все", u"all"},
    {u"от хоста", u"from-host"},
    {u"хосту", u"to-host"},
    {u"программы", u"program"},
    {u"сбои линии", u"line faults"},
};
const Bilingual kHexNothing{u"Нечего послать: введите байты в HEX, например 0A или 00 09 0D 0A",
                            u"nothing to send: give bytes in HEX, such as 0A or 00 09 0D 0A"};
const Bilingual kHexNotHex{u"«%1» не байты в HEX: каждый байт — две цифры HEX, например 0A или 00 09 0D 0A",
                           u"%1 is not bytes in HEX: each byte is two HEX digits, such as 0A or 00 09 0D 0A"};
const Bilingual kHexTooLong{u"Не больше %2 байт за раз; введено %1", u"at most %2 bytes at a time; %1 given"};
const Bilingual kHexNotSent{u"Не послано: %1", u"not sent: %1"};

QString Bilingual::in(std::int16_t language) const { return QString::fromUtf16(language == 0 ? english : russian); }

void ApplyCaptions(Form1& form, std::int16_t language)
{
    if (language != 0 && language != 1)
        return;
    for (const Caption& c : captionTable(form))
        c.control->setCaption(c.text.in(language));
    // A list whose entries are words keeps its choice across the switch.
    QStringList shows;
    for (const Bilingual& show : kTrafficShows)
        shows << show.in(language);
    form.Traffic_Combo1.setItems(shows);
    form.Traffic_Combo1.setListIndex(std::max(0, form.Traffic_Combo1.listIndex()));
}

QString MonthName(std::int16_t language, int month) { return kMonths.at(month - 1).in(language); }

QString WindowTitle(std::int16_t language, QDate date, const QString& monthName, const QString& weekday)
{
    const QString start = QStringLiteral("Korvalen       ") + kProductName + u' ' + kVersion;
    const QString day = QString::number(date.day());
    const QString year = QString::number(date.year());
    if (language == 0)
        return start + QStringLiteral("               Today: ") + monthName + u' ' + day + QStringLiteral(",  ") + year;
    return start + QStringLiteral("               Сегодня: ") + day + QStringLiteral("  ") + monthName +
           QStringLiteral("  ") + year + QStringLiteral(" года  ") + weekday;
}

const ModeCaptions& ModeCaptionsOf(int mode) { return kModeCaptions.at(mode >= 0 && mode <= 2 ? mode : 0); }

}  // namespace dravilo
