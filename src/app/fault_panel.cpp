#include "app/fault_panel.h"

#include "base/captions.h"
#include "port/line_faults.h"
#include "program/program.h"

namespace dravilo {

void Fault_Combo1_Click(Program& p)
{
    Form1& f = p.form;
    f.Fault_Text1.setEnabled(f.Fault_Combo1.text() == QLatin1String("delay"));
}

void Fault_Command1_Click(Program& p, LineFaults& line)
{
    const Form1& f = p.form;
    QStringList words{f.Fault_Combo1.text()};
    if (f.Fault_Combo1.text() == QLatin1String("delay"))
        words << f.Fault_Text1.text().trimmed();
    // A rate typed with the system's decimal comma reads as with a point.
    words << f.Fault_Combo2.text() << f.Fault_Text2.text().trimmed().replace(u',', u'.');
    QString why;
    const std::optional<Fault> fault = ParseFault(words, why);
    if (!fault) {
        p.platform.messageBox(why);
        return;
    }
    line.set(*fault);
}

void Fault_Command2_Click(LineFaults& line) { line.clear(); }

void ShowFaultInForce(Program& p, const LineFaults& line)
{
    // A fault reads as the command that set it; no fault reads in the language.
    p.form.Fault_Label5.setCaption(line.inForce() ? line.describe() : kNoFault.in(p.settings.intLanguage));
}

void ShowLineFault(Program& p, const LineFaults& line)
{
    Form1& f = p.form;
    ShowFaultInForce(p, line);
    const QString inForce = line.describe();
    // The lists read as the command that set the fault ("delay 400 next 2"),
    // whoever set it, and count down with it; once it is over they keep the last.
    const QStringList words = inForce.split(u' ');
    if (words.size() < 3)
        return;
    f.Fault_Combo1.setListIndex(int(f.Fault_Combo1.items().indexOf(words[0])));
    Fault_Combo1_Click(p);
    if (words.size() == 4)
        f.Fault_Text1.setText(words[1]);
    f.Fault_Combo2.setListIndex(int(f.Fault_Combo2.items().indexOf(words[words.size() - 2])));
    f.Fault_Text2.setText(words.last());
}

}  // namespace dravilo
