#pragma once

#include <QByteArray>
#include <optional>

namespace kelvane::plexant {

// The parts of a URL as the HTTP engine takes them apart.
struct HttpUrl {
    QByteArray scheme;
    quint16 port = 0;
    QByteArray path;                    // empty when the URL has no authority
    std::optional<QByteArray> authority; // with its user part, without the port
    QByteArray server;                  // the authority without its user part
    std::optional<QByteArray> user;     // present when the authority holds "@"
    QByteArray password;

    // Takes a URL apart: "scheme:" (http sets port 80, https 443, anything else keeps the
    // default port), then "//" and the authority up to "/" (or, without one, "?"), which
    // starts the path. In the authority a ":" (the second one when an "@" follows the first)
    // starts the port, "user:password@" the user part. Text without ":" keeps the default
    // scheme and has no authority. Nothing, with the reason in `problem`, for a text that a
    // URL may not hold (see mayHold), or a port above 65535.
    static std::optional<HttpUrl> parse(const QByteArray& text, const QByteArray& defaultScheme, quint16 defaultPort,
                                        QByteArray& problem);

    // Whether a URL, or a part of one, may hold the text: no blank and no control character
    // (which would also break the request line they are sent in).
    static bool mayHold(const QByteArray& text);
    static constexpr const char* kForbiddenText = "The URL holds a blank or a control character.";

    // A Location taken relative to the URL it came from; absolute locations stay as they are.
    static QByteArray resolve(const QByteArray& base, const QByteArray& location);
};

} // namespace kelvane::plexant
