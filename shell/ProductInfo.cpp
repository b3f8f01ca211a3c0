#include "shell/ProductInfo.h"

#include <QStringList>

namespace kelvane::productinfo {

Version ProgramVersion()
{
    const QStringList parts = QStringLiteral(KELVANE_VERSION).split(u'.');
    const auto part = [&](qsizetype i) { return i < parts.size() ? parts.at(i).toInt() : 0; };
    return {part(0), part(1), part(2)};
}

} // namespace kelvane::productinfo
