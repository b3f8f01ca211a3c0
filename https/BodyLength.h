#pragma once

#include <QByteArray>
#include <optional>

namespace kelvane::plexant {

// What a reply tells of the length of its body: the Content-Length, when its headers give
// one value (or the same value more than once) and no transfer coding; none for a reply
// that has no body at all. Without a length the body runs until the connection closes.
class BodyLength {
public:
    void reset() { *this = BodyLength(); }
    // Each header of the reply, as it arrives.
    void header(const QByteArray& field, const QByteArray& value);
    // The reply has no body (the answer to HEAD, a 204 or 304 status).
    void setNoBody() { m_noBody = true; }
    std::optional<qint64> expected() const;

private:
    std::optional<qint64> m_length;
    bool m_unusable = false; // an unreadable or contradicting length, or a transfer coding
    bool m_noBody = false;
};

} // namespace kelvane::plexant
