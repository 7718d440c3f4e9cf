#include "base/phrases.h"

#include <QRegularExpression>
#include <vector>

namespace dravilo {

namespace {

// A phrase of the record's English, as a pattern that finds what varies in it.
struct Phrase {
    QString prefix;  // the words before the first %1, to pass most phrases by at once
    QRegularExpression english;
    std::vector<int> numbers;  // of the places, in the order they stand in the English
    const TrafficPhrase* phrase;
};

const std::vector<Phrase>& phrases()
{
    static const std::vector<Phrase> all = [] {
        static const QRegularExpression place(QStringLiteral("%(\\d)"));
        std::vector<Phrase> compiled;
        for (const TrafficPhrase& p : TrafficPhrases()) {
            const QString english = QString::fromUtf16(p.text.english);
            Phrase phrase{{}, {}, {}, &p};
            QString pattern = QStringLiteral("^");
            qsizetype at = 0;
            for (const QRegularExpressionMatch& m : place.globalMatch(english)) {
                if (phrase.numbers.empty())
                    phrase.prefix = english.left(m.capturedStart());
                pattern += QRegularExpression::escape(english.mid(at, m.capturedStart() - at));
                pattern += QStringLiteral("(.+?)");
                phrase.numbers.push_back(m.captured(1).toInt());
                at = m.capturedEnd();
            }
            if (phrase.numbers.empty())
                phrase.prefix = english;
            phrase.english.setPattern(pattern + QRegularExpression::escape(english.mid(at)) + u'$');
            compiled.push_back(std::move(phrase));
        }
        return compiled;
    }();
    return all;
}

// The phrase the words are, and what stands in its places, %1 first.
const Phrase* phraseOf(const QString& words, std::vector<QString>* places)
{
    for (const Phrase& phrase : phrases()) {
        if (!words.startsWith(phrase.prefix))
            continue;
        const QRegularExpressionMatch m = phrase.english.match(words);
        if (!m.hasMatch())
            continue;
        if (places) {
            places->assign(phrase.numbers.size(), QString());
            for (std::size_t i = 0; i < phrase.numbers.size(); ++i)
                places->at(std::size_t(phrase.numbers[i]) - 1) = m.captured(int(i) + 1);
        }
        return &phrase;
    }
    return nullptr;
}

}  // namespace

QString Fill(const QString& pattern, std::span<const QString> places)
{
    QString text;
    text.reserve(pattern.size() + 64);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const int n = i + 1 < pattern.size() && pattern[i] == u'%' ? pattern[i + 1].digitValue() : -1;
        if (n >= 1 && std::size_t(n) <= places.size()) {
            text += places[std::size_t(n) - 1];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}
QString Fill(const QString& pattern, std::initializer_list<QString> places)
{
    return Fill(pattern, std::span(places.begin(), places.size()));
}

const TrafficPhrase* PhraseOf(const QString& words)
{
    const Phrase* phrase = phraseOf(words, nullptr);
    return phrase ? phrase->phrase : nullptr;
}

QString InLanguage(const QString& words, std::int16_t language)
{
    if (language == 0)
        return words;
    std::vector<QString> places;
    const Phrase* phrase = phraseOf(words, &places);
    if (!phrase)
        return words;
    for (QString& place : places)
        place = InLanguage(place, language);  // each place is shorter than the words, so this ends
    return Fill(phrase->phrase->text.in(language), places);
}

}  // namespace dravilo
