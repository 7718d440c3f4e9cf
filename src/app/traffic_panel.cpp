#include "app/traffic_panel.h"

#include <QSaveFile>

#include "base/captions.h"
#include "program/program.h"

namespace dravilo {

void mnu_Traffic_Click(Program& p)
{
    Frame& panel = p.form.Traffic_Frame1;
    panel.setVisible(!panel.visible());
}

void Traffic_Command1_Click(Program& p) { p.trafficRows.clear(p.traffic); }

void Traffic_Command2_Click(Program& p)
{
    const std::int16_t language = p.settings.intLanguage;
    const QString path =
        p.platform.saveFileName(kTrafficDialogTitle.in(language), p.settings.strResultsFolder + "traffic.txt");
    if (path.isEmpty())
        return;
    const QString failure = SaveTrafficRows(p.trafficRows, path);
    if (!failure.isEmpty())
        p.platform.messageBox(kCannotSaveTraffic.in(language).arg(path, failure));
}

bool RefreshTrafficPanel(Program& p)
{
    const Form1& f = p.form;
    if (!f.Traffic_Frame1.visible() || f.Traffic_Check1.value() != 0)
        return false;
    return p.trafficRows.pull(p.traffic);
}

QString SaveTrafficRows(const TrafficRows& rows, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return file.errorString();
    for (const TrafficEvent& row : rows.rows())
        file.write(TrafficLine(row).toUtf8() + '\n');
    if (!file.commit())
        return file.errorString();
    return {};
}

}  // namespace dravilo
