#pragma once

#include <QByteArray>

namespace kelvane::plexant::redirects {

// The follow modes of the FollowRedirects property.
enum Mode { Never = 0, Always = 1, SameScheme = 2 };
// How many redirects one action follows at most.
inline constexpr int kMaxRedirects = 10;

// Whether a reply is a redirect to follow, by the same rules on both transports: only when
// asked to, only for GET and HEAD (`fetching`), only for a 30x status other than 304 (not
// modified) and 305 (use a proxy), and in same-scheme mode only to a location of the
// scheme the request used (compared exactly). `url` is the URL the reply answered.
bool followable(int mode, bool fetching, const QByteArray& statusLine, const QByteArray& scheme, const QByteArray& url,
                const QByteArray& location);

// What the caller's credentials and cookies may reach on a hop of a redirected action:
// cookies only the host they were given for (the action's first), credentials never a
// connection in clear once the action went over TLS.
struct Hop {
    bool credentials = true;
    bool cookies = true;
};
Hop hop(const QByteArray& firstHost, bool wentSecure, const QByteArray& host, bool secure);

} // namespace kelvane::plexant::redirects
