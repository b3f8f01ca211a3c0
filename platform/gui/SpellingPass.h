#pragma once

#include "platform/UiServices.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace platform::gui {

// What a spelling dictionary answers about single words.
class Speller {
public:
    virtual ~Speller() = default;
    virtual bool isCorrect(const QString& word) = 0;
    // Likely intended words, the likeliest first; empty when none is found.
    virtual QStringList suggestions(const QString& word) = 0;
};

// One misspelt word of a text, as the user is asked about it.
struct Misspelling {
    QString text;      // the whole text, with the changes made so far
    qsizetype start = 0;
    qsizetype length = 0;
    QStringList suggestions;

    QString word() const { return text.mid(start, length); }
};

// The user's answer about a misspelt word.
struct SpellingDecision {
    enum class Kind { Change, Ignore, Cancel };
    Kind kind = Kind::Ignore;
    QString replacement; // for Change
};

using SpellingQuestion = std::function<SpellingDecision(const Misspelling&)>;

// Goes through the words of `text` in order (words as Unicode word boundaries delimit them;
// pieces without a letter are no words), asks about each word the speller refuses, and
// applies the answers: a change replaces the word and the check goes on after the
// replacement; a cancel ends the check with the changes made so far.
SpellingResult checkWords(const QString& text, Speller& speller, const SpellingQuestion& ask);

} // namespace platform::gui
