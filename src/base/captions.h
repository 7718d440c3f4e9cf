#pragma once

// Every text of the window that comes in two languages, in one place: the
// fixed captions, the month names, the window title, the captions that
// follow the terminal type and the operating mode, and the program's few
// messages.

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

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
// %1 the ProgramFiles folder that takes no files, %2 where they are kept.
extern const Bilingual kProgramFolderElsewhere;
// The device list's entry for a virtual port of the program's own, and a
// choice the port refused; %1 the device, %2 the port number, %3 the reason.
extern const Bilingual kVirtualPortItem;
extern const Bilingual kCannotChooseDevice;
// The pace of a line no UART paces: %1 the terminal's framing, %2 the ms a
// byte takes; then what garbles its bytes (%1 the host's framing) and how
// many frames found it busy (%1).
extern const Bilingual kPaceOfTheLine;
extern const Bilingual kPaceInstant;
extern const Bilingual kHostGarbles;
extern const Bilingual kFramesNotSent;
// The fault panel's "In force" when no fault is.
extern const Bilingual kNoFault;
// The traffic panel's file: the dialog's title, and a save that failed.
extern const Bilingual kTrafficDialogTitle;
extern const Bilingual kCannotSaveTraffic;

// The caption of a status bit's box: `statusByte` 1 or 2, `bit` 0 to 7 for D0 to D7.
const Bilingual& StatusFlagCaption(int statusByte, int bit);

// The traffic's words: the panel's in the window's language, the log's in
// English. %1 and on are filled in.
struct TrafficWords {
    Bilingual fromHost, toHost, program;  // the directions
    Bilingual requests[5];                // 0x0A weight request .. 0x0E status request
    Bilingual notARequest;                // %1 the byte in HEX
    Bilingual bytesAfter;                 // %1 how many
    Bilingual priceDigits, priceSetting;  // %1 how far the price came
    Bilingual digitsSoFar, priceSet;      // %1 the count, or the price
    Bilingual then;                       // between two readings of one read
    Bilingual weightFrame;                // %1 its fields
    Bilingual frameFields[3][3];          // weight, price, cost by the operating mode
    Bilingual mode;                       // %1 the operating mode
    Bilingual zelm1Line;                  // %1 its weight
    Bilingual zelm1Weight;                // %1 the weight, %2 its format
    Bilingual acknowledgement;
    Bilingual status;                     // %1 S1 and S2 with their set bits
    Bilingual unreadable;                 // bytes that are no frame of their kind
    Bilingual bytesInAll;                 // %1 the size of an event longer than kept
};
extern const TrafficWords kTrafficWords;

// The words the port, the line and the faults record in English, with %1
// and on for what varies, and their Russian. `fault` marks what a line
// fault did.
struct TrafficPhrase {
    Bilingual text;
    bool fault = false;
};
const std::vector<TrafficPhrase>& TrafficPhrases();

// The panel's choice of rows: all, each direction, the faults.
extern const Bilingual kTrafficShows[5];
// Bytes typed to be sent by hand that are none: %1 the word that is no HEX,
// %2 the most that may be sent.
extern const Bilingual kHexNothing;
extern const Bilingual kHexNotHex;
extern const Bilingual kHexTooLong;
extern const Bilingual kHexNotSent;  // %1 why

}  // namespace dravilo
