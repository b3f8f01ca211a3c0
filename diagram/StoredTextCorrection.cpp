#include "diagram/StoredTextCorrection.h"

#include <QStringView>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace kelvane::storedtextcorrection {

namespace {

// One character of the plain text and where it stands in the stored text: one stored
// character, or the four of an escape.
struct PlainCharacter {
    QChar character;
    std::vector<qsizetype> stored;
};

// The stored text read the way a label reads it: outside a link "<A " opens one (the character
// after it never ends the tag), the tag runs to the next ">", the link text to "</A>" or the
// end; a tag without ">" ends the text. Then "&lt;" and "&gt;" are decoded.
std::vector<PlainCharacter> readStored(const QString& stored)
{
    static const QString openTag = QStringLiteral("<A ");
    static const QString closeTag = QStringLiteral("</A>");
    enum class State { Outside, InTag, InLinkText };

    std::vector<PlainCharacter> taken;
    State state = State::Outside;
    const QStringView text(stored);
    qsizetype i = 0;
    while (i < text.size()) {
        if (state == State::Outside && text.mid(i, 3) == openTag) {
            i += 4;
            state = State::InTag;
        } else if (state == State::InTag) {
            const qsizetype tagEnd = stored.indexOf(u'>', i);
            if (tagEnd < 0)
                break;
            i = tagEnd + 1;
            state = State::InLinkText;
        } else if (state == State::InLinkText && text.mid(i, 4) == closeTag) {
            i += 4;
            state = State::Outside;
        } else {
            taken.push_back({text.at(i), {i}});
            ++i;
        }
    }

    std::vector<PlainCharacter> plain;
    for (std::size_t k = 0; k < taken.size(); ++k) {
        PlainCharacter character = taken[k];
        if (k + 3 < taken.size() && taken[k].character == u'&' && taken[k + 2].character == u't'
            && taken[k + 3].character == u';' && (taken[k + 1].character == u'l' || taken[k + 1].character == u'g')) {
            character.character = taken[k + 1].character == u'l' ? u'<' : u'>';
            for (std::size_t rest = k + 1; rest <= k + 3; ++rest)
                character.stored.push_back(taken[rest].stored.front());
            k += 3;
        }
        plain.push_back(character);
    }
    return plain;
}

// A text cut into words (letters, digits and their marks) and single other characters, so a
// correction is matched word by word.
struct Token {
    qsizetype start = 0;
    qsizetype length = 0;
};

bool isWordCharacter(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

std::vector<Token> tokensOf(const QString& text)
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i + 1;
        if (isWordCharacter(text.at(i))) {
            while (end < text.size() && isWordCharacter(text.at(end)))
                ++end;
        }
        tokens.push_back({i, end - i});
        i = end;
    }
    return tokens;
}

// A run of `before` (plain positions) that the correction replaced.
struct Change {
    qsizetype from = 0;
    qsizetype to = 0;
    QString replacement;
};

// The changes that turn `before` into `after`: the longest common run of tokens stays, the rest
// is replaced run by run.
std::vector<Change> changesBetween(const QString& before, const QString& after)
{
    const std::vector<Token> a = tokensOf(before);
    const std::vector<Token> b = tokensOf(after);
    const auto same = [&](std::size_t i, std::size_t j) {
        return QStringView(before).mid(a[i].start, a[i].length) == QStringView(after).mid(b[j].start, b[j].length);
    };

    // Common tokens at both ends need no table.
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && same(head, head))
        ++head;
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && same(a.size() - 1 - tail, b.size() - 1 - tail))
        ++tail;
    const std::size_t m = a.size() - head - tail;
    const std::size_t n = b.size() - head - tail;

    // common[i][j]: the longest common run of a[head + i ..] and b[head + j ..] in the middle.
    std::vector<std::vector<int>> common(m + 1, std::vector<int>(n + 1, 0));
    for (std::size_t i = m; i-- > 0;) {
        for (std::size_t j = n; j-- > 0;) {
            common[i][j] = same(head + i, head + j) ? common[i + 1][j + 1] + 1
                                                     : std::max(common[i + 1][j], common[i][j + 1]);
        }
    }

    const auto positionIn = [](const std::vector<Token>& tokens, std::size_t index, const QString& text) {
        return index < tokens.size() ? tokens[index].start : text.size();
    };
    std::vector<Change> changes;
    std::optional<Change> open;
    const auto close = [&] {
        if (open)
            changes.push_back(*std::exchange(open, std::nullopt));
    };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < m || j < n) {
        if (i < m && j < n && same(head + i, head + j)) {
            close();
            ++i;
            ++j;
            continue;
        }
        if (!open)
            open = Change {positionIn(a, head + i, before), positionIn(a, head + i, before), {}};
        if (j < n && (i == m || common[i][j + 1] >= common[i + 1][j])) {
            open->replacement += QStringView(after).mid(b[head + j].start, b[head + j].length);
            ++j;
        } else {
            ++i;
            open->to = positionIn(a, head + i, before);
        }
    }
    close();
    return changes;
}

QString escaped(const QString& text)
{
    QString stored = text;
    stored.replace(u'<', QStringLiteral("&lt;"));
    stored.replace(u'>', QStringLiteral("&gt;"));
    return stored;
}

} // namespace

QString Apply(const QString& stored, const QString& before, const QString& after)
{
    const std::vector<PlainCharacter> plain = readStored(stored);
    QString read;
    for (const PlainCharacter& character : plain)
        read += character.character;
    if (read != before)
        return after;

    std::vector<bool> removed(std::size_t(stored.size()), false);
    std::map<qsizetype, QString> insertedBefore; // stored position -> stored text put in front of it
    for (const Change& change : changesBetween(before, after)) {
        for (qsizetype p = change.from; p < change.to; ++p) {
            for (qsizetype position : plain[std::size_t(p)].stored)
                removed[std::size_t(position)] = true;
        }
        // Where the first replaced character stood; at the end, just after the last character
        // (inside a link that runs to the end).
        qsizetype at = stored.size();
        if (change.from < qsizetype(plain.size()))
            at = plain[std::size_t(change.from)].stored.front();
        else if (!plain.empty())
            at = plain.back().stored.back() + 1;
        insertedBefore[at] += escaped(change.replacement);
    }

    QString corrected;
    corrected.reserve(stored.size() + after.size() - before.size());
    for (qsizetype p = 0; p <= stored.size(); ++p) {
        if (const auto inserted = insertedBefore.find(p); inserted != insertedBefore.end())
            corrected += inserted->second;
        if (p < stored.size() && !removed[std::size_t(p)])
            corrected += stored.at(p);
    }
    return corrected;
}

} // namespace kelvane::storedtextcorrection
