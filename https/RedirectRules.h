#pragma once

#include <QByteArray>

namespace kelvane::plexant::redirects {

// The follow modes of the FollowRedirects property.
enum Mode { Never = 0, Always = 1, SameScheme = 2 };
// How many redirects one action follows at most.
inline constexpr int kMaxRedirects = 10;

// Whether a reply is a redirect to follow, by the same rules on both transports: only when
// asked to, only for GET and HEAD (`fetching`), only for a 30x status other than 304 (not
// modified) and 305 (use a proxy), only to an http or https location, and in same-scheme
// mode only to a location of the scheme the request used (compared exactly). `url` is the
// URL the reply answered.
bool followable(int mode, bool fetching, const QByteArray& statusLine, const QByteArray& scheme, const QByteArray& url,
                const QByteArray& location);

// Where a request goes: scheme and host in any case, and port.
struct Origin {
    QByteArray scheme;
    QByteArray host;
    quint16 port = 0;
    bool operator==(const Origin& other) const;
};

// What the caller's credentials and cookies may reach on a hop of a redirected action: the
// origin of the action's first hop alone, and credentials never a connection in clear once
// the action went over TLS. `credentials` covers the caller's own Authorization and Cookie
// lines among its other headers too.
struct Hop {
    bool credentials = true;
    bool cookies = true;
};
Hop hop(const Origin& first, bool wentSecure, const Origin& origin, bool secure);

// The caller's other header lines without its Authorization and Cookie lines (and the
// lines that continue them).
QByteArray withoutCredentialLines(const QByteArray& headers);

} // namespace kelvane::plexant::redirects
