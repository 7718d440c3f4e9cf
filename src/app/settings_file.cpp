#include "app/settings_file.h"

#include <QFile>
#include <QSaveFile>

#include "app/captions.h"
#include "app/program.h"

namespace dravilo {

QString SettingsPath(const Program& p) { return p.strProgramFolder + p.strSettingsFile; }

void LoadSettings(Program& p)
{
    const QString path = SettingsPath(p);
    SettingsRecord defaults;
    DefaultSettings(defaults, p.strProgramFolder);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Deleting what cannot even be opened could lose settings that a
        // change of permissions would give back.
        p.settings = defaults;
        p.reportOnce(QStringLiteral("read ") + path, kCannotReadSettings.in(p.settings.intLanguage).arg(path, file.errorString()));
        return;
    }
    // Only the records are read; whatever follows them is never looked at.
    const std::optional<SettingsRecord> read =
        DecodeSettings(file.read(qint64(kSettingsFieldCount) * kSettingsRecordLength), defaults);
    file.close();
    if (read) {
        p.settings = *read;
        return;
    }
    p.settings = defaults;
    QFile::remove(path);
    SaveSettings(p);
}

bool SaveSettings(Program& p)
{
    const QString path = SettingsPath(p);
    QByteArray existing;
    QFile old(path);
    if (old.open(QIODevice::ReadOnly))
        existing = old.readAll();
    old.close();

    // Written beside the old file and renamed over it: a crash or a full disk
    // in the middle leaves the old file whole.
    const QByteArray content = EncodeSettings(p.settings, existing);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    p.reportOnce(QStringLiteral("save ") + path, kCannotSaveSettings.in(p.settings.intLanguage).arg(path, file.errorString()));
    return false;
}

}  // namespace dravilo
