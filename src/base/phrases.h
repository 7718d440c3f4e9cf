#pragma once

// The program's English sentences (what the traffic records, what a line
// says it is) in the window's language: each known sentence is a pattern
// with %1 and on for what varies in it.

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "base/captions.h"

namespace dravilo {

// The pattern with %1, %2 and on filled in from `places`, in one pass: a
// place's own text is never read as a pattern.
QString Fill(const QString& pattern, std::span<const QString> places);
QString Fill(const QString& pattern, std::initializer_list<QString> places);

// The known sentence the English words are; nothing for other words.
const TrafficPhrase* PhraseOf(const QString& words);
// The English words in the language (0 English, 1 Russian) where they are a
// known sentence, and so are the words in its places ("not sent: the line is
// busy (9 bytes waiting)"); other words (a device's own error) stay as they are.
QString InLanguage(const QString& words, std::int16_t language);

}  // namespace dravilo
