#include "model/basGlobal.h"

namespace basGlobal {

namespace {
constexpr QChar Nul = QChar(u'\0');

QString withoutNuls(QString text)
{
    text.remove(Nul);
    return text;
}
} // namespace

QString StripStreamHeader(const QString& text)
{
    const qsizetype pair = text.indexOf(QString(2, Nul));
    // The pair at 0-based index 3 or later starts "at the fourth character or later".
    if (pair >= 3)
        return withoutNuls(text.mid(4));
    return withoutNuls(text);
}

QString WideStreamToText(const QString& text)
{
    const QString rest = text.size() >= 4 ? text.mid(4) : text;
    QString result;
    result.reserve(rest.size() / 2);
    for (qsizetype i = 2; i < rest.size(); i += 2)
        result += rest.at(i);
    return TrimAtNull(result);
}

QString TrimAtNull(const QString& text)
{
    const qsizetype at = text.indexOf(Nul);
    return at < 0 ? text : text.left(at);
}

} // namespace basGlobal
