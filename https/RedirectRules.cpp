#include "https/RedirectRules.h"

#include "https/HttpUrl.h"

#include <QUrl>

namespace kelvane::plexant::redirects {

namespace {

bool sameText(const QByteArray& a, const char* b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

bool followable(int mode, bool fetching, const QByteArray& statusLine, const QByteArray& scheme, const QByteArray& url,
                const QByteArray& location)
{
    if (mode == Never || !fetching)
        return false;
    const qsizetype blank = statusLine.indexOf(' ');
    const QByteArray status = blank < 0 ? QByteArray() : statusLine.mid(blank + 1);
    if (!status.startsWith("30") || status.size() < 3 || status.at(2) == '4' || status.at(2) == '5')
        return false;
    // Only to http and https (a location without a scheme, against a URL without one, keeps
    // the request's); in same-scheme mode only to a location of the request's own scheme.
    const QByteArray target = HttpUrl::resolve(url, location);
    const bool hasScheme = !QUrl::fromEncoded(target, QUrl::TolerantMode).scheme().isEmpty();
    const QByteArray targetScheme = hasScheme ? target.left(target.indexOf(':')) : QByteArray();
    if (hasScheme && !sameText(targetScheme, "http") && !sameText(targetScheme, "https"))
        return false;
    return mode != SameScheme || (hasScheme && targetScheme == scheme);
}

bool Origin::operator==(const Origin& other) const
{
    return port == other.port && scheme.compare(other.scheme, Qt::CaseInsensitive) == 0
        && host.compare(other.host, Qt::CaseInsensitive) == 0;
}

Hop hop(const Origin& first, bool wentSecure, const Origin& origin, bool secure)
{
    const bool sameOrigin = origin == first;
    return {sameOrigin && (!wentSecure || secure), sameOrigin};
}

QByteArray withoutCredentialLines(const QByteArray& headers)
{
    QByteArray kept;
    bool dropping = false;
    for (qsizetype at = 0; at < headers.size();) {
        const qsizetype lineFeed = headers.indexOf('\n', at);
        const qsizetype end = lineFeed < 0 ? headers.size() : lineFeed + 1;
        const QByteArray line = headers.mid(at, end - at);
        at = end;
        // A line that begins with a blank continues the one before it.
        if (line.at(0) != ' ' && line.at(0) != '\t') {
            const qsizetype colon = line.indexOf(':');
            const QByteArray field = colon < 0 ? QByteArray() : line.left(colon).trimmed();
            dropping = sameText(field, "Authorization") || sameText(field, "Cookie");
        }
        if (!dropping)
            kept += line;
    }
    return kept;
}

} // namespace kelvane::plexant::redirects
