#include "app/traffic_panel.h"

#include <QSaveFile>
#include <algorithm>

#include "app/traffic_decoding.h"
#include "base/captions.h"
#include "program/program.h"
#include "terminal/sending.h"

namespace dravilo {

namespace {

enum Shows { All, FromHost, ToHost, ProgramOwn, LineFaults };

bool shows(const TrafficEvent& row, int which)
{
    switch (which) {
    case FromHost: return row.direction == TrafficDirection::FromHost;
    case ToHost: return row.direction == TrafficDirection::ToHost;
    case ProgramOwn: return row.direction == TrafficDirection::Program;
    case LineFaults: return IsLineFault(row);
    default: return true;
    }
}

// In either language, so that a switch keeps the rows shown as they are.
bool holds(const TrafficEvent& row, const QString& text)
{
    return TrafficWhat(row, 0).contains(text, Qt::CaseInsensitive) ||
           TrafficWhat(row, 1).contains(text, Qt::CaseInsensitive);
}

void applyFilter(Program& p)
{
    const int which = p.form.Traffic_Combo1.listIndex();
    const QString text = p.form.Traffic_Text1.text().trimmed();
    if (which <= All && text.isEmpty())
        return p.trafficRows.filter({});
    p.trafficRows.filter([which, text](const TrafficEvent& row) {
        return shows(row, which) && (text.isEmpty() || holds(row, text));
    });
}

// A word of the typed text as it is quoted back: a line of junk is not.
QString quoted(const QString& word) { return word.size() <= 16 ? word : word.left(15) + u'…'; }

}  // namespace

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

void Traffic_Combo1_Click(Program& p) { applyFilter(p); }

void Traffic_Text1_Change(Program& p) { applyFilter(p); }

void Traffic_Command3_Click(Program& p)
{
    const QString failure = SendHexByHand(p, p.form.Traffic_Text2.text(), p.settings.intLanguage);
    if (!failure.isEmpty())
        p.platform.messageBox(failure);
}

bool RefreshTrafficPanel(Program& p)
{
    const Form1& f = p.form;
    if (!f.Traffic_Frame1.visible())
        return false;
    const bool reshown = p.trafficRows.takeReshown();
    const bool pulled = f.Traffic_Check1.value() == 0 && p.trafficRows.pull(p.traffic);
    return reshown || pulled;
}

QString SaveTrafficRows(const TrafficRows& rows, const QString& path)
{
    QSaveFile file(path);
    // Lines end in LF on every system, as the --log file's do: one reader reads both.
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    for (std::size_t i = 0; i < rows.shownCount(); ++i)
        file.write(TrafficLine(rows.shown(i)).toUtf8() + '\n');
    if (!file.commit())
        return file.errorString();
    return {};
}

std::optional<QByteArray> HexBytes(const QString& text, QString& why, std::int16_t language)
{
    const auto hexDigit = [](QChar c) {
        const char16_t u = c.toUpper().unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F');
    };
    QByteArray bytes;
    qsizetype count = 0;
    for (const QString& word : text.simplified().split(u' ', Qt::SkipEmptyParts)) {
        if (word.size() % 2 != 0 || !std::all_of(word.begin(), word.end(), hexDigit)) {
            why = kHexNotHex.in(language).arg(quoted(word));
            return std::nullopt;
        }
        count += word.size() / 2;
        if (count <= kMostBytesByHand)
            bytes += QByteArray::fromHex(word.toLatin1());
    }
    if (count == 0)
        why = kHexNothing.in(language);
    else if (count > kMostBytesByHand)
        why = kHexTooLong.in(language).arg(count).arg(kMostBytesByHand);
    else
        return bytes;
    return std::nullopt;
}

QString SendHexByHand(Program& p, const QString& hex, std::int16_t language)
{
    QString why;
    const std::optional<QByteArray> bytes = HexBytes(hex, why, language);
    if (!bytes)
        return why;
    const QString failure = SendByHand(p, *bytes);
    return failure.isEmpty() ? QString() : kHexNotSent.in(language).arg(failure);
}

}  // namespace dravilo
