#pragma once

// Texts in the settings file are kept in the system's 8-bit encoding: the
// ANSI code page on Windows, the locale's elsewhere. A test of a value that
// reads back unchanged takes the first of its texts that the system can hold.

#include <QString>
#include <initializer_list>

namespace dravilo::test {

inline QString LocalText(std::initializer_list<const char16_t*> texts)
{
    for (const char16_t* text : texts) {
        const QString candidate = QString::fromUtf16(text);
        if (QString::fromLocal8Bit(candidate.toLocal8Bit()) == candidate)
            return candidate;
    }
    return QStringLiteral("/home/operator/results");
}

}  // namespace dravilo::test
