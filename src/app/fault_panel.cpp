#include "app/fault_panel.h"

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

void ShowLineFault(Program& p, const LineFaults& line) { p.form.Fault_Label5.setCaption(line.describe()); }

}  // namespace dravilo
