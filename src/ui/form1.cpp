#include "ui/form1.h"

#include "app/captions.h"
#include "app/program.h"
#include "port/port_opening.h"
#include "simulation/load_sway.h"
#include "simulation/weight_setting.h"
#include "terminal/periodic_transmission.h"
#include "terminal/request_handling.h"
#include "terminal/status_flags.h"
#include "terminal/terminal_type.h"

namespace dravilo {

Form1::Form1()
{
    ApplyCaptions(*this, 1);  // built in Russian; start-up applies the stored language

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

    p.MSComm1.onComm = [&p] {
        ShowPortState(p);  // a vanished device turns the indicator red
        MSComm1_OnComm(p);
    };
}

}  // namespace dravilo
