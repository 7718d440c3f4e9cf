#include "base/captions.h"

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
    const Bilingual s1[8] = {
        {u"D7-Тара", u"D7-Tara"},
        {u"D6-батарея разряжена", u"D6-battery is low"},
        {u"D5-при вкл. не ноль", u"D5-ON not zero"},
        {u"D4-вес нестабилен", u"D4-weight unstable"},
        {u"D3-вес не в кг", u"D3-kg weight not"},
        {u"D2-перегруз", u"D2-overload"},
        {u"D1-знак веса минус", u"D1-weight minus sign"},
        {u"D0-Нето", u"D0-Neto"},
    };
    const Bilingual s2[8] = {
        {u"D7-резерв", u"D7-reserve"},
        {u"D6-резерв", u"D6-reserve"},
        {u"D5-режим работы", u"D5-mode"},
        {u"D4-режим работы", u"D4-mode"},
        {u"D3-положение точки в цене", u"D3-point in price"},
        {u"D2-положение  точки в цене", u"D2-point in price"},
        {u"D1-положение точки в весе", u"D1-point in weight"},
        {u"D0-положение точки в весе", u"D0-point in weight"},
    };
    for (int i = 0; i < 8; ++i) {
        table.push_back({&f.Check1[i], s1[i]});
        table.push_back({&f.Check3[i], s2[i]});
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
const Bilingual kVirtualPortItem{u"виртуальный порт", u"virtual port"};
const Bilingual kCannotChooseDevice{u"Устройство %1 не выбрано для COM%2: %3", u"%1 is not chosen for COM%2: %3"};
const Bilingual kTrafficDialogTitle{u"Сохранить обмен по линии", u"Save the line traffic"};
const Bilingual kCannotSaveTraffic{u"Не удалось сохранить обмен в файл %1: %2",
                                   u"The traffic cannot be saved to %1: %2"};

QString Bilingual::in(std::int16_t language) const { return QString::fromUtf16(language == 0 ? english : russian); }

void ApplyCaptions(Form1& form, std::int16_t language)
{
    if (language != 0 && language != 1)
        return;
    for (const Caption& c : captionTable(form))
        c.control->setCaption(c.text.in(language));
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
