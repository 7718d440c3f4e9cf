#include "app/captions.h"

#include <utility>
#include <vector>

#include "app/program.h"
#include "terminal/terminal_type.h"

namespace dravilo {

namespace {

struct Caption {
    Captioned* control;
    const char16_t* russian;
    const char16_t* english;
};

std::vector<Caption> captionTable(Form1& f)
{
    std::vector<Caption> table{
        {&f.Label6, u"Работа с весами", u"Working with weights"},
        {&f.Frame3, u"Установка груза на весы", u"Setting load"},
        {&f.Label9, u"Заданый вес", u"Set weight"},
        {&f.Label24, u"Формат. вес", u"Format weight"},
        {&f.Label2, u"Вес 1:", u"Weight 1:"},
        {&f.Label7, u"Вес 2:", u"Weight 2:"},
        {&f.Command1, u"Вес 1", u"Weight 1"},
        {&f.Command2, u"Вес 2", u"Weight 2"},
        {&f.Command3, u"Снять", u"Take off"},
        {&f.Label23, u"Формат", u"Format"},
        {&f.Frame5, u"Колебание груза на весах", u"Sway on the scales"},
        {&f.Label4, u"Амплитуда колебаний:", u"The amplitude of the oscillations:"},
        {&f.Label5, u"Количество  колебаний:", u"The number of oscillations:"},
        {&f.Command5, u"Изменить", u"Change"},

        {&f.Label8, u"Настройка СОМ порта ", u"Configuring the COM port"},
        {&f.Label17, u"Порт настроен: COM", u"Port settings: COM"},
        {&f.Label15, u"Посылка в текстовом формате", u"Sending a text format"},
        {&f.Label16, u"Посылка в HEX формате", u"Sending in HEX format"},
        {&f.Label3, u"Период,мсек:", u"Period, ms:"},
        {&f.Command4, u"Изменить", u"Change"},
        {&f.Label11, u"Посылка через СОМ-порт каждые:", u"Making a COM port every:"},
        {&f.Label13, u"мсек", u"ms"},

        {&f.Label14, u"Выбор типа весового терминала", u"Select the type of weighing terminal"},
        {&f.Frame2, u"Тип терминала", u"Type of terminal"},
        {&f.Option1[0], u"ЗЕЛМ-2", u"ZELM-2"},
        {&f.Option1[1], u"ЗЕЛМ-1", u"ZELM-1"},
        {&f.Frame4, u"ЗЕЛМ", u"ZELM"},
        {&f.Label10, u"Вес", u"Weight"},
        {&f.Label25, u"Цена", u"Price"},
        {&f.Label26, u"Стоимость", u"Cost"},
        {&f.Frame7, u"ЗЕЛМ-2", u"ZELM-2"},
        {&f.Label29, u"Цена", u"Price"},
    };
    const std::pair<const char16_t*, const char16_t*> s1[8] = {
        {u"D7-Тара", u"D7-Tara"},
        {u"D6-батарея разряжена", u"D6-battery is low"},
        {u"D5-при вкл. не ноль", u"D5-ON not zero"},
        {u"D4-вес нестабилен", u"D4-weight unstable"},
        {u"D3-вес не в кг", u"D3-kg weight not"},
        {u"D2-перегруз", u"D2-overload"},
        {u"D1-знак веса минус", u"D1-weight minus sign"},
        {u"D0-Нето", u"D0-Neto"},
    };
    const std::pair<const char16_t*, const char16_t*> s2[8] = {
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
        table.push_back({&f.Check1[i], s1[i].first, s1[i].second});
        table.push_back({&f.Check3[i], s2[i].first, s2[i].second});
    }
    return table;
}

}  // namespace

void ApplyCaptions(Form1& form, std::int16_t language)
{
    if (language != 0 && language != 1)
        return;
    for (const Caption& c : captionTable(form))
        c.control->setCaption(QString::fromUtf16(language == 0 ? c.english : c.russian));
}

void ApplyLanguage(Program& p)
{
    ApplyCaptions(p.form, p.settings.intLanguage);
    Option1_Click(p);
}

}  // namespace dravilo
