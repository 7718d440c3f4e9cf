#include "base/form1.h"

#include "base/captions.h"

namespace dravilo {

Form1::Form1()
{
    ApplyCaptions(*this, 1);  // built in Russian; start-up applies the stored language
    Caption.setCaption(kProductName + u' ' + kVersion);
    mnu_rus.setCaption(QStringLiteral("rus"));
    mnu_eng.setCaption(QStringLiteral("eng"));
    Basis_Frame1.setVisible(false);
    Basis_Text1.setLocked(true);
    Traffic_Frame1.setVisible(false);

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

    // The words of the control channel's "fault", so that both read alike.
    Fault_Combo1.setItems({QStringLiteral("drop"), QStringLiteral("delay"), QStringLiteral("corrupt"),
                           QStringLiteral("cut"), QStringLiteral("noise")});
    Fault_Combo1.setListIndex(0);
    Fault_Text1.setText(QStringLiteral("500"));
    Fault_Text1.setEnabled(false);  // until "delay" is picked
    Fault_Combo2.setItems({QStringLiteral("next"), QStringLiteral("rate")});
    Fault_Combo2.setListIndex(0);
    Fault_Text2.setText(QStringLiteral("1"));
    Fault_Label5.setCaption(kNoFault.in(1));

    Option1[0].siblings = {&Option1[1]};
    Option1[1].siblings = {&Option1[0]};
    Text11.setText(QStringLiteral("10,24"));
    // Driven by the program: the weight's sign and decimal point.
    Check1[D1].setEnabled(false);
    Check3[D1].setEnabled(false);
    Check3[D0].setEnabled(false);
    Check3[D3].setValue(1);  // the price point; the weight format adds D0 at start-up
    Label27.setCaption(QStringLiteral("S1=00000000"));
    Label28.setCaption(QStringLiteral("S2=00000000"));
    Text5.setLocked(true);
    Text8.setLocked(true);
    Text10.setLocked(true);

    Timer4.setInterval(100);
}

}  // namespace dravilo
