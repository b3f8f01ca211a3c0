// Text routines of the common library.
#include "model/basLibrary.h"

#include "platform/TextEncoding.h"

#include <algorithm>

namespace basLibrary {

namespace {

QStringView trimmedBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

// A key-value line without its line breaks and the blanks at its ends: a view of the line
// itself when it holds no line break (the usual case), else of `storage`.
QStringView withoutLineBreaks(QStringView line, QString& storage)
{
    if (!ContainsAnyOf(line, u"\r\n"))
        return trimmedBlanks(line);
    storage = line.toString();
    storage.remove(u'\r');
    storage.remove(u'\n');
    return trimmedBlanks(storage);
}

struct Separator {
    qsizetype at = -1;
    qsizetype length = 0;
};

// The "=" or " is " of a key-value line that stands before any double quote; "=" wins.
Separator pairSeparator(QStringView line)
{
    const auto first = std::find_if(line.begin(), line.end(), [](QChar c) { return c == u'=' || c == u'"'; });
    const qsizetype at = first - line.begin();
    if (first != line.end() && *first == u'=')
        return {at, 1};
    const qsizetype is = line.left(at).indexOf(u" is ");
    if (is >= 0)
        return {is, 4};
    return {};
}

bool isQuote(QChar c) { return c == u'"' || c == u'\''; }

} // namespace

bool ContainsAnyOf(QStringView text, QStringView characters)
{
    // A short text is looked through once (most of its characters told apart from the few by
    // one comparison); a long one is searched for each of the characters in turn, the fast way.
    constexpr qsizetype kShort = 64;
    if (text.size() <= kShort) {
        const QChar highest = *std::max_element(characters.begin(), characters.end());
        return std::any_of(text.begin(), text.end(), [&](QChar c) {
            return c <= highest && std::find(characters.begin(), characters.end(), c) != characters.end();
        });
    }
    return std::any_of(characters.begin(), characters.end(), [text](QChar c) { return text.contains(c); });
}

QString TrimBlanks(const QString& text)
{
    const QStringView trimmed = trimmedBlanks(text);
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

QString ReplaceAll(const QString& text, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(search, from, Qt::CaseSensitive);
        if (at < 0)
            break;
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + search.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

kelvane::Variant MinVariant(const kelvane::Variant& a, const kelvane::Variant& b)
{
    return kelvane::Variant::compare(a, b) <= 0 ? a : b;
}

kelvane::Variant MaxVariant(const kelvane::Variant& a, const kelvane::Variant& b)
{
    return kelvane::Variant::compare(a, b) <= 0 ? b : a;
}

QString TextBetween(const QString& text, QChar opening, QChar closing)
{
    const qsizetype start = text.indexOf(opening);
    if (start < 0)
        return {};
    int depth = 1;
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        // A closing delimiter is taken first, so equal delimiters close the block.
        if (text[i] == closing) {
            if (--depth == 0)
                return text.mid(start + 1, i - start - 1);
        } else if (text[i] == opening) {
            ++depth;
        }
    }
    return {}; // no matching closing delimiter: an absent block
}

QStringList SplitDoubleQuoted(const QString& text, QChar delimiter, bool skipLast)
{
    QStringList fields;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == delimiter && !quoted) {
            fields.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    if (!skipLast)
        fields.append(start == 0 ? text : text.mid(start));
    return fields;
}

PairParts PartsOfPair(QStringView line, QString& storage)
{
    const QStringView cleaned = withoutLineBreaks(line, storage);
    const Separator separator = pairSeparator(cleaned);
    if (separator.at < 0) {
        const qsizetype brace = cleaned.indexOf(u'{');
        return {brace < 0 ? QStringView() : trimmedBlanks(cleaned.left(brace)), {}};
    }
    QStringView value = trimmedBlanks(cleaned.mid(separator.at + separator.length));
    if (!value.isEmpty() && isQuote(value.front()))
        value = value.mid(1);
    if (!value.isEmpty() && isQuote(value.back()))
        value.chop(1);
    return {trimmedBlanks(cleaned.left(separator.at)), value};
}

QString KeyOfPair(QStringView line)
{
    QString storage;
    return PartsOfPair(line, storage).key.toString();
}

QString ValueOfPair(QStringView line)
{
    QString storage;
    return PartsOfPair(line, storage).value.toString();
}

QString XorScramble(const QString& text, const QString& key)
{
    if (key.isEmpty())
        kelvane::raiseError(kelvane::err::InvalidProcedureCall);
    const QByteArray textBytes = platform::encoding::toAnsi(text);
    const QByteArray keyBytes = platform::encoding::toAnsi(key);
    QByteArray scrambled(textBytes.size(), '\0');
    for (qsizetype i = 0; i < textBytes.size(); ++i)
        scrambled[i] = static_cast<char>(textBytes[i] ^ keyBytes[i % keyBytes.size()]);
    return platform::encoding::fromAnsi(scrambled);
}

} // namespace basLibrary
