#include "app/startup.h"

#include <QDir>

#include "app/captions.h"
#include "app/program.h"
#include "port/port_opening.h"
#include "simulation/load_sway.h"
#include "simulation/weight_setting.h"
#include "terminal/number_text.h"
#include "terminal/periodic_transmission.h"
#include "terminal/terminal_type.h"

namespace dravilo {

namespace {

const QString kProductName = QStringLiteral("Dravilo");
const QString kVersion = QStringLiteral("v.2.00");

#ifdef Q_OS_WIN
constexpr QChar kSeparator = u'\\';
#else
constexpr QChar kSeparator = u'/';
#endif

QString withoutLeadingBlanks(QString text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    return text.mid(i);
}

void showSwaySettings(Program& p)
{
    p.form.Text1[2].setText(QString::number(p.settings.intSwayCount));
    p.form.Text1[1].setText(
        QString::number(p.settings.dblSwayAmplitude).replace(u'.', p.platform.decimalSeparator()));
}

}  // namespace

QString ProgramFolder(const Program& p)
{
    QString base = p.strProgramFiles;
#ifndef Q_OS_WIN
    if (base.isEmpty()) {
        base = p.platform.environment(QStringLiteral("XDG_DATA_HOME"));
        if (base.isEmpty())
            base = p.platform.environment(QStringLiteral("HOME")) + QStringLiteral("/.local/share");
    }
#endif
    if (!base.endsWith(kSeparator))
        base += kSeparator;
    return base + kProductName + u' ' + kVersion + kSeparator;
}

void Form_Load(Program& p)
{
    Form1& f = p.form;
    SettingsRecord& set = p.settings;
    TerminalState& s = p.state;

    p.strSettingsFile = kProductName + u' ' + kVersion + QStringLiteral(".eng");
    p.strProgramFiles = withoutLeadingBlanks(p.platform.environment(QStringLiteral("ProgramFiles")));
    p.strProgramFolder = ProgramFolder(p);
    // Made with its parents: on a fresh system even the user's data folder may
    // be missing. A folder that cannot be made only leaves the port links unfound.
    QDir().mkpath(p.strProgramFolder);
    DefaultSettings(set, p.strProgramFolder);

    showSwaySettings(p);
    ApplyLanguage(p);

    OpenPortAtStartup(p);

    f.Text1[0].setText(QString::number(set.intSendPeriod));
    if (const auto period = SendPeriodInput(p))
        set.intSendPeriod = *period;
    f.Timer1.setInterval(set.intSendPeriod);

    if (set.intTerminalType == 0 || set.intTerminalType == 1)
        f.Option1[set.intTerminalType].setValue(true);

    showSwaySettings(p);
    set.dblSwayAmplitude = ValueOfText(f.Text1[1].text());
    set.intSwayCount = SwayCountInput(p);
    s.intSwayLeft = set.intSwayCount;

    s.bytS1 = 0;
    s.bytS2 = 9;
    s.dblPrice = 10.24;
    s.strPriceFormat = QStringLiteral("0000.00");
    s.intPriceDivisor = 100;

    Command3_Click(p);

    f.Combo2.setListIndex(1);
    Combo2_Click(p);

    f.Text8.setText(p.format(s.dblPrice, s.strPriceFormat));
    f.Text10.setText(p.format(0, s.strPriceFormat));
    s.intMode = 0;
}

void Form_Unload(Program& p) { ClosePort(p); }

}  // namespace dravilo
