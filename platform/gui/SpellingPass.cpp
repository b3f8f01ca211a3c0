#include "platform/gui/SpellingPass.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <optional>

namespace platform::gui {

namespace {

struct WordSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};

bool hasLetter(QStringView piece)
{
    return std::any_of(piece.begin(), piece.end(), [](QChar c) { return c.isLetter(); });
}

// The first word that starts at or after `from`.
std::optional<WordSpan> nextWord(const QString& text, qsizetype from)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(from);
    if (!finder.isAtBoundary())
        finder.toNextBoundary();
    qsizetype start = finder.position();
    while (start >= 0 && start < text.size()) {
        const qsizetype end = finder.toNextBoundary();
        if (end < 0)
            break;
        if (hasLetter(QStringView(text).mid(start, end - start)))
            return WordSpan {start, end - start};
        start = end;
    }
    return std::nullopt;
}

} // namespace

SpellingResult checkWords(const QString& text, Speller& speller, const SpellingQuestion& ask)
{
    SpellingResult result {text, false};
    qsizetype position = 0;
    while (const auto word = nextWord(result.text, position)) {
        position = word->start + word->length;
        const QString spelling = result.text.mid(word->start, word->length);
        if (speller.isCorrect(spelling))
            continue;
        const SpellingDecision decision = ask({result.text, word->start, word->length, speller.suggestions(spelling)});
        if (decision.kind == SpellingDecision::Kind::Cancel) {
            result.cancelled = true;
            break;
        }
        if (decision.kind == SpellingDecision::Kind::Change) {
            result.text.replace(word->start, word->length, decision.replacement);
            position = word->start + decision.replacement.size();
        }
    }
    return result;
}

} // namespace platform::gui
