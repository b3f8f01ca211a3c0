#include "https/RedirectRules.h"

#include "https/HttpUrl.h"

namespace kelvane::plexant::redirects {

bool followable(int mode, bool fetching, const QByteArray& statusLine, const QByteArray& scheme, const QByteArray& url,
                const QByteArray& location)
{
    if (mode == Never || !fetching)
        return false;
    const qsizetype blank = statusLine.indexOf(' ');
    const QByteArray status = blank < 0 ? QByteArray() : statusLine.mid(blank + 1);
    if (!status.startsWith("30") || status.size() < 3 || status.at(2) == '4' || status.at(2) == '5')
        return false;
    if (mode != SameScheme)
        return true;
    const QByteArray target = HttpUrl::resolve(url, location);
    return target.size() > scheme.size() && target.startsWith(scheme) && target.at(scheme.size()) == ':';
}

Hop hop(const QByteArray& firstHost, bool wentSecure, const QByteArray& host, bool secure)
{
    return {!wentSecure || secure, host.compare(firstHost, Qt::CaseInsensitive) == 0};
}

} // namespace kelvane::plexant::redirects
