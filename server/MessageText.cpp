#include "server/MessageText.h"

#include "model/basLibrary.h"

namespace kelvane::server {

QString escapeValue(const QString& text)
{
    QString escaped = basLibrary::ReplaceAll(text, QStringLiteral("&"), QStringLiteral("&amp;"));
    escaped = basLibrary::ReplaceAll(escaped, QStringLiteral("<"), QStringLiteral("&lt;"));
    return basLibrary::ReplaceAll(escaped, QStringLiteral(">"), QStringLiteral("&gt;"));
}

} // namespace kelvane::server
