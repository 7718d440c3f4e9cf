#include "ui/form1.h"

#include "app/captions.h"
#include "app/language.h"
#include "app/program.h"
#include "app/settings_panel.h"
#include "app/startup.h"
#include "port/port_configuration.h"
#include "simulation/load_sway.h"
#include "simulation/weighing_cycles.h"
#include "simulation/weight_setting.h"
#include "terminal/periodic_transmission.h"
#include "terminal/request_handling.h"
#include "terminal/status_flags.h"
#include "terminal/terminal_type.h"

namespace dravilo {

Form1::Form1()
{
    ApplyCaptions(*this, 1);  // built in Russian; start-up applies the stored language
    Caption.setCaption(kProductName + u' ' + kVersion);
    mnu_rus.setCaption(QStringLiteral("rus"));
    mnu_eng.setCaption(QStringLiteral("eng"));
    Basis_Frame1.setVisible(false);
    Basis_Text1.setLocked(true);

    Text9[0].setText(QStringLiteral("11.1"));
    Text9[1].setText(QStringLiteral("-11.1"));
    Text2[0].setText(QStringLiteral("00011.1"));
    Text2[1].setText(QStringLiteral("-00011.1"));
    Text2[2].setText(QStringLiteral("00000.0"));
    for (TextBox& box : Text2)
        box.setLocked(true);
    for (Shape& lamp : Shape2)
        lamp.setFillColour(kRed);
    Combo2.setItems({QStringLiteral("000000"), QStringLiteral("00000.0"), QStringLiteral("0000.00"),
                     QStringLiteral("000.000")});

    Text4.setText(QStringLiteral("100"));
    Text7.setText(QStringLiteral("2"));
    Label22.setCaption(QStringLiteral("0"));
    Label22.setVisible(false);  // shown while the cycles run
    Timer3.setInterval(1000);

    Label1[0].setCaption(QStringLiteral("СOM"));  // a Cyrillic С, as the terminal's maker wrote it
    const QStringList items[5] = {
        {"2", "1", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"},
        {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "57600", "115200"},
        {"n", "e", "o", "s", "m"},
        {"5", "6", "7", "8"},
        {"1", "2"},
    };
    const char* texts[5] = {"2", "9600", "n", "8", "1"};
    for (int i = 0; i < 5; ++i) {
        Combo1[i].setEditable(true);
        Combo1[i].setItems(items[i]);
        Combo1[i].setText(QString::fromLatin1(texts[i]));
    }
    Timer2.setInterval(100);
    Timer5.setInterval(1000);
    Shape1.setFillColour(kRed);
    Text3.setLocked(true);
    Text6.setLocked(true);

    Option1[0].siblings = {&Option1[1]};
    Option1[1].siblings = {&Option1[0]};
    Text11.setText(QStringLiteral("10,24"));
    // Driven by the program: the weight's sign and decimal point.
    Check1[6].setEnabled(false);
    Check3[6].setEnabled(false);
    Check3[7].setEnabled(false);
    Check3[4].setValue(1);  // the price point; the weight format adds D0 at start-up
    Label27.setCaption(QStringLiteral("S1=00000000"));
    Label28.setCaption(QStringLiteral("S2=00000000"));
    Text5.setLocked(true);
    Text8.setLocked(true);
    Text10.setLocked(true);

    Timer1.setEnabled(true);  // ticks once start-up gives it an interval
    Timer4.setInterval(100);
}

void RouteEvents(Program& p)
{
    Form1& f = p.form;
    for (int i = 0; i < 2; ++i)
        f.Text9[i].onChange = [&p, i] { Text9_Change(p, i); };
    for (int i = 0; i < 3; ++i)
        f.Text2[i].onChange = [&p, i] { Text2_Change(p, i); };
    f.Combo2.onClick = [&p] { Combo2_Click(p); };
    f.Command1.onClick = [&p] { Command1_Click(p); };
    f.Command2.onClick = [&p] { Command2_Click(p); };
    f.Command3.onClick = [&p] { Command3_Click(p); };
    f.Command5.onClick = [&p] { Command5_Click(p); };

    f.Command4.onClick = [&p] { Command4_Click(p); };
    f.Timer1.onTick = [&p] { Timer1_Timer(p); };
    f.Timer4.onTick = [&p] { Timer4_Timer(p); };

    for (OptionButton& option : f.Option1)
        option.onClick = [&p] { Option1_Click(p); };
    f.Text11.onChange = [&p] { Text11_Change(p); };
    for (CheckBox& box : f.Check1)
        box.onClick = [&p] { Check1_Click(p); };
    for (CheckBox& box : f.Check3)
        box.onClick = [&p] { Check3_Click(p); };

    f.mnu_Exit.onClick = [&p] { mnu_Exit_Click(p); };
    f.mnu_Setting.onClick = [&p] { mnu_Setting_Click(p); };
    f.mnu_rus.onClick = [&p] { mnu_rus_Click(p); };
    f.mnu_eng.onClick = [&p] { mnu_eng_Click(p); };
    f.Basis_Command1.onClick = [&p] { Basis_Command1_Click(p); };

    f.Text4.onChange = [&p] { Text4_Change(p); };
    f.Text7.onChange = [&p] { Text7_Change(p); };
    f.Check2.onClick = [&p] { Check2_Click(p); };
    f.Timer3.onTick = [&p] { Timer3_Timer(p); };

    for (ComboBox& list : f.Combo1)
        list.onClick = [&p] { Combo1_Click(p); };
    f.Timer2.onTick = [&p] { Timer2_Timer(p); };
    f.Timer5.onTick = [&p] { Timer5_Timer(p); };

    p.MSComm1.onComm = [&p] {
        ShowPortState(p);  // the indicator follows every event of the port
        if (p.MSComm1.commEvent() == comEventPortLost)
            MSComm1_PortLost(p);
        else
            MSComm1_OnComm(p);
    };
}

}  // namespace dravilo
