#include "app/settings_panel.h"

#include <QDir>

#include "base/captions.h"
#include "program/program.h"
#include "app/settings_file.h"

namespace dravilo {

void mnu_Setting_Click(Program& p)
{
    Form1& f = p.form;
    if (f.Basis_Frame1.visible()) {
        f.Basis_Frame1.setVisible(false);
        return;
    }
    f.Basis_Frame1.setVisible(true);
    f.Basis_Text1.setText(p.settings.strResultsFolder);
}

void Basis_Command1_Click(Program& p)
{
    // With the system's separators throughout: on Windows "/data" becomes "\data".
    QString folder = QDir::toNativeSeparators(p.platform.browseFolder(kFolderDialogTitle));
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(kPathSeparator))
        folder += kPathSeparator;
    // The file keeps 498 bytes of a text; a longer path would be cut or
    // spill into the next field, so the previous folder stays.
    if (folder.toLocal8Bit().size() > kLongestSettingsText) {
        p.platform.messageBox(kFolderTooLong.in(p.settings.intLanguage) + folder);
        return;
    }
    p.form.Basis_Text1.setText(folder);
    p.settings.strResultsFolder = folder;
    SaveSettings(p);
}

}  // namespace dravilo
