#include "https/HttpUrl.h"

#include <QUrl>
#include <algorithm>

namespace kelvane::plexant {

namespace {

bool sameText(const QByteArray& a, const char* b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

std::optional<HttpUrl> HttpUrl::parse(const QByteArray& text, const QByteArray& defaultScheme, quint16 defaultPort,
                                      QByteArray& problem)
{
    if (!mayHold(text)) {
        problem = kForbiddenText;
        return std::nullopt;
    }
    HttpUrl url;
    url.scheme = defaultScheme;
    url.port = defaultPort;
    const qsizetype colon = text.indexOf(':');
    if (colon < 0)
        return url;
    url.scheme = text.left(colon);
    if (sameText(url.scheme, "http"))
        url.port = 80;
    else if (sameText(url.scheme, "https"))
        url.port = 443;
    const QByteArray rest = text.mid(colon + 1);
    if (!rest.startsWith("//"))
        return url;

    QByteArray authority = rest.mid(2);
    qsizetype pathStart = authority.indexOf('/');
    if (pathStart < 0)
        pathStart = authority.indexOf('?');
    if (pathStart >= 0) {
        url.path = authority.mid(pathStart);
        authority.truncate(pathStart);
    }
    qsizetype portColon = authority.indexOf(':');
    if (portColon >= 0 && authority.indexOf('@', portColon) > portColon)
        portColon = authority.indexOf(':', portColon + 1);
    if (portColon >= 0) {
        qsizetype end = portColon + 1;
        quint32 port = 0;
        while (end < authority.size() && authority.at(end) >= '0' && authority.at(end) <= '9') {
            port = port * 10 + quint32(authority.at(end) - '0');
            if (port > 65535) {
                problem = "The URL's port is above 65535.";
                return std::nullopt;
            }
            ++end;
        }
        url.port = quint16(port);
        authority.truncate(portColon);
    }
    url.authority = authority;
    const qsizetype at = authority.indexOf('@');
    url.server = at >= 0 ? authority.mid(at + 1) : authority;
    if (at >= 0) {
        const QByteArray userPart = authority.left(at);
        const qsizetype separator = userPart.indexOf(':');
        url.user = separator >= 0 ? userPart.left(separator) : userPart;
        url.password = separator >= 0 ? userPart.mid(separator + 1) : QByteArray();
    }
    return url;
}

bool HttpUrl::mayHold(const QByteArray& text)
{
    return std::none_of(text.cbegin(), text.cend(), [](char c) { return quint8(c) <= ' ' || c == '\x7f'; });
}

QByteArray HttpUrl::resolve(const QByteArray& base, const QByteArray& location)
{
    const QUrl reference = QUrl::fromEncoded(location, QUrl::TolerantMode);
    if (!reference.scheme().isEmpty())
        return location;
    return QUrl::fromEncoded(base, QUrl::TolerantMode).resolved(reference).toEncoded();
}

} // namespace kelvane::plexant
