#include "app/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include "base/captions.h"
#include "app/language.h"
#include "program/program.h"
#include "app/settings_file.h"
#include "port/port_configuration.h"
#include "simulation/load_sway.h"
#include "simulation/weight_setting.h"
#include "base/number_text.h"
#include "terminal/periodic_transmission.h"

namespace dravilo {

namespace {

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
    p.form.Text1[1].setText(PlainNumber(p.settings.dblSwayAmplitude, p.platform.decimalSeparator()));
}

// A folder that cannot be made is said once; the program runs on without it.
void cannotCreate(Program& p, const QString& path)
{
    p.reportOnce(QStringLiteral("folder ") + path,
                 kCannotCreateFolder.in(p.settings.intLanguage).arg(QDir::toNativeSeparators(path)));
}

void makeFolder(Program& p, const QString& path, bool withParents)
{
    if (QFileInfo(path).isDir())
        return;
    if (!(withParents ? QDir().mkpath(path) : QDir().mkdir(path)))
        cannotCreate(p, path);
}

// The year and the month folder under the results folder, made one level at
// a time: a results folder that has gone (an unplugged drive) is not made
// again somewhere else.
void makeDatedFolders(Program& p)
{
    const QString& results = p.settings.strResultsFolder;
    const QDate today = p.platform.today();
    const QString year = results + QString::number(today.year());
    p.strMonthFolder = year + kPathSeparator + p.platform.monthName(today.month());
    if (!QFileInfo(results).isDir()) {
        cannotCreate(p, year);
        return;
    }
    makeFolder(p, year, false);
    makeFolder(p, p.strMonthFolder, false);
}

void loadOrWriteSettings(Program& p)
{
    SettingsRecord& set = p.settings;
    if (QFileInfo::exists(SettingsPath(p))) {
        LoadSettings(p);
        if (set.strVersion == kVersion && set.strProductName == kProductName)
            return;
    }
    DefaultSettings(set, p.strProgramFolder);
    SaveSettings(p);
}

QString programFolderIn(QString base)
{
    if (!base.endsWith(kPathSeparator))
        base += kPathSeparator;
    return base + kProductName + u' ' + kVersion + kPathSeparator;
}

// The user's own folder for a program's data, where ProgramFiles is no
// place for it: LOCALAPPDATA (else APPDATA) on Windows; XDG_DATA_HOME,
// else ~/.local/share, elsewhere.
QString userDataFolder(const Program& p)
{
#ifdef Q_OS_WIN
    const QString local = p.platform.environment(QStringLiteral("LOCALAPPDATA"));
    return local.isEmpty() ? p.platform.environment(QStringLiteral("APPDATA")) : local;
#else
    const QString data = p.platform.environment(QStringLiteral("XDG_DATA_HOME"));
    return data.isEmpty() ? p.platform.environment(QStringLiteral("HOME")) + QStringLiteral("/.local/share") : data;
#endif
}

// Whether the program can keep its files in `folder`: made, and taking a
// new file (tried, not read off permission bits) or the settings file
// there writable in place, as in a shared install.
bool keepsFiles(const QString& folder, const QString& settingsFile)
{
    if (!QDir().mkpath(folder))
        return false;
    QTemporaryFile probe(folder + QStringLiteral(".probe-XXXXXX"));
    const QFileInfo settings(folder + settingsFile);
    return probe.open() || (settings.isFile() && settings.isWritable());
}

}  // namespace

QString ProgramFolder(const Program& p)
{
    if (!p.settingsDir.isEmpty())
        return p.settingsDir.endsWith(kPathSeparator) ? p.settingsDir : p.settingsDir + kPathSeparator;
    return programFolderIn(p.strProgramFiles.isEmpty() ? userDataFolder(p) : p.strProgramFiles);
}

void Form_Load(Program& p)
{
    Form1& f = p.form;
    SettingsRecord& set = p.settings;
    TerminalState& s = p.state;

    p.platform.setIcon(QStringLiteral("Icon1"));

    p.strSettingsFile = kProductName + u' ' + kVersion + QStringLiteral(".eng");
    p.strProgramFiles = withoutLeadingBlanks(p.platform.environment(QStringLiteral("ProgramFiles")));
    p.strProgramFolder = ProgramFolder(p);
    // A ProgramFiles folder that takes no files of a normal user (Windows
    // since Vista) would lose every save: the user's own folder serves.
    if (p.settingsDir.isEmpty() && !p.strProgramFiles.isEmpty() &&
        !keepsFiles(p.strProgramFolder, p.strSettingsFile)) {
        const QString refused = p.strProgramFolder;
        p.strProgramFolder = programFolderIn(userDataFolder(p));
        p.reportOnce(QStringLiteral("program folder"),
                     kProgramFolderElsewhere.in(p.settings.intLanguage)
                         .arg(QDir::toNativeSeparators(refused), QDir::toNativeSeparators(p.strProgramFolder)));
    }
    // Made with its parents: on a fresh system even the user's data folder may be missing.
    makeFolder(p, p.strProgramFolder, true);
    RemoveStaleSaves(p);
    loadOrWriteSettings(p);

    f.Text4.setText(QString::number(set.lngCycleMax));
    f.Text7.setText(QString::number(set.lngCyclePeriod));
    showSwaySettings(p);
    makeDatedFolders(p);
    ApplyLanguage(p);

    OpenPortAtStartup(p);
    f.Combo1[0].setText(QString::number(p.MSComm1.commPort()));
    f.Combo1[1].setText(QString::number(set.lngBaudRate));
    f.Combo1[2].setText(set.strParity);
    f.Combo1[3].setText(QString::number(set.intDataBits));
    f.Combo1[4].setText(QString::number(set.intStopBits));

    // Read back as the "Change" button reads it: a stored period below 1 ms
    // would leave a ZELM-1 line silent for good, so it becomes the default too.
    f.Text1[0].setText(QString::number(set.intSendPeriod));
    Command4_Click(p);

    if (set.intTerminalType == 0 || set.intTerminalType == 1)
        f.Option1[set.intTerminalType].setValue(true);

    showSwaySettings(p);
    set.dblSwayAmplitude = p.value(f.Text1[1].text());
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

    p.showPriceAndCost(s.dblPrice, 0);
    s.intMode = 0;
}

void Form_Unload(Program& p)
{
    p.ending = true;
    ClosePort(p);
    SaveSettings(p);
    p.platform.processEvents();
}

void mnu_Exit_Click(Program& p)
{
    p.ending = true;
    SaveSettings(p);
    p.platform.processEvents();
    p.platform.endProgram();
}

}  // namespace dravilo
