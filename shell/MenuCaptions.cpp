#include "shell/MenuCaptions.h"

namespace kelvane::menucaptions {

QString Literal(const QString& text)
{
    QString literal = text;
    literal.replace(u'&', QStringLiteral("&&"));
    return literal;
}

QString About(const QString& name)
{
    return QStringLiteral("&About ") + Literal(name) + QStringLiteral("...");
}

} // namespace kelvane::menucaptions
