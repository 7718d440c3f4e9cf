#include "app/settings_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include "base/captions.h"
#include "program/program.h"

namespace dravilo {

namespace {

QString readFailure(const QString& path) { return QStringLiteral("read ") + path; }

// The file as it stands, overwritten from its first byte and never shortened:
// for a folder that refuses new files. Unbuffered, so that a full disk fails
// the write itself instead of a flush nobody looks at.
bool writeInPlace(const QString& path, const QByteArray& content, QString& error)
{
    QFile file(path);
    if (file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) && file.write(content) == content.size() &&
        file.flush())
        return true;
    error = file.errorString();
    return false;
}

// Written beside the old file and renamed over it: a crash or a full disk
// in the middle leaves the old file whole.
bool replaceWhole(const QString& path, const QByteArray& content, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        // A shared install: the folder is not the user's, the file is.
        const QFileInfo existing(path);
        return existing.isFile() && existing.isWritable() && !QFileInfo(existing.path()).isWritable() &&
               writeInPlace(path, content, error);
    }
    if (file.write(content) == content.size() && file.commit())
        return true;
    error = file.errorString();
    file.cancelWriting();
    return false;
}

bool saveFailed(Program& p, const QString& failureKey, const QString& why)
{
    ++p.failedSaves;
    p.lastSaveFailure = why;
    p.reportOnce(failureKey, kCannotSaveSettings.in(p.settings.intLanguage).arg(SettingsPath(p), why));
    return false;
}

}  // namespace

QString SettingsPath(const Program& p) { return p.strProgramFolder + p.strSettingsFile; }

void LoadSettings(Program& p)
{
    const QString path = SettingsPath(p);
    SettingsRecord defaults;
    DefaultSettings(defaults, p.strProgramFolder);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Not a broken file but one kept from us: whatever it holds is the
        // user's, so it is neither deleted now nor written over later.
        p.settings = defaults;
        p.keepSettingsFile = true;
        p.reportOnce(readFailure(path), kCannotReadSettings.in(p.settings.intLanguage).arg(path, file.errorString()));
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
    if (p.keepSettingsFile)  // said once already, when it could not be read
        return saveFailed(p, readFailure(path), kSettingsFileKept.in(p.settings.intLanguage));
    QByteArray existing;
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return saveFailed(p, QStringLiteral("save ") + path, old.errorString());
        existing = old.readAll();
        old.close();
    }
    QString error;
    if (replaceWhole(path, EncodeSettings(p.settings, existing), error))
        return true;
    return saveFailed(p, QStringLiteral("save ") + path, error);
}

void RemoveStaleSaves(const Program& p)
{
    // What a save that was killed left beside the file: its name and six
    // letters or digits. One younger than a minute may be another
    // emulator's save on the same folder, still under way.
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(p.strSettingsFile) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QFileInfoList entries = QDir(p.strProgramFolder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries)
        if (temporary.match(entry.fileName()).hasMatch() && !entry.isSymLink() &&
            entry.lastModified().toUTC() < stale)
            QFile::remove(entry.filePath());
}

}  // namespace dravilo
