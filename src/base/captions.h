#pragma once

// Every text of the window that comes in two languages, in one place: the
// fixed captions, the month names, the window title, the captions that
// follow the terminal type and the operating mode, and the program's few
// messages.

#include <QDate>
#include <QString>
#include <cstdint>

namespace dravilo {

struct Form1;

struct Bilingual {
    const char16_t* russian;
    const char16_t* english;
    // English for language 0, Russian for any other value.
    QString in(std::int16_t language) const;
};

inline const QString kProductName = QStringLiteral("Dravilo");
inline const QString kVersion = QStringLiteral("v.2.00");

// Every fixed caption of the window: 0 English, 1 Russian; any other value
// leaves the captions as they are.
void ApplyCaptions(Form1& form, std::int16_t language);

// Month 1 to 12 in the language's own table; Russian in the genitive of dates.
QString MonthName(std::int16_t language, int month);
// The dated window title of language 0 or 1. `weekday` (the system's name of
// the day) is only used in Russian.
QString WindowTitle(std::int16_t language, QDate date, const QString& monthName, const QString& weekday);

extern const Bilingual kZelm1Display;   // the terminal display's frame by type
extern const Bilingual kZelm2Display;
extern const Bilingual kWeightCaption;  // the weight field of a ZELM-1 display

// The terminal display's three captions in operating mode 0, 1 or 2.
struct ModeCaptions {
    Bilingual weight, price, cost;
};
const ModeCaptions& ModeCaptionsOf(int mode);

inline const QString kNotAllowed = QStringLiteral("Недопустимо");  // a rejected port setting, in both languages
inline const QString kFolderDialogTitle = QStringLiteral("Выберите директорию для хранения результата:");
extern const Bilingual kFolderTooLong;
// Files and folders the program could not make or use; %1 the path, %2 the reason.
extern const Bilingual kCannotReadSettings;
extern const Bilingual kCannotSaveSettings;
extern const Bilingual kSettingsFileKept;
extern const Bilingual kCannotCreateFolder;
// The device list's entry for a virtual port of the program's own, and a
// choice the port refused; %1 the device, %2 the port number, %3 the reason.
extern const Bilingual kVirtualPortItem;
extern const Bilingual kCannotChooseDevice;
// The traffic panel's file: the dialog's title, and a save that failed.
extern const Bilingual kTrafficDialogTitle;
extern const Bilingual kCannotSaveTraffic;

}  // namespace dravilo
