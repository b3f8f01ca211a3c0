#pragma once

#include <QByteArray>
#include <optional>

namespace kelvane::plexant {

// What a reply tells of the length of its body: the Content-Length, when its headers give
// one value (or the same value more than once) and no transfer coding; chunks, when the
// last transfer coding is "chunked"; none for a reply that has no body at all. Without
// either the body runs until the connection closes. Lengths that cannot be read, or that
// contradict each other, leave the reply broken unless a transfer coding makes them moot.
class BodyLength {
public:
    void reset() { *this = BodyLength(); }
    // Each header of the reply, as it arrives.
    void header(const QByteArray& field, const QByteArray& value);
    // The reply has no body (the answer to HEAD, a 204 or 304 status).
    void setNoBody() { m_noBody = true; }
    std::optional<qint64> expected() const;
    bool chunked() const { return m_chunked && !m_noBody; }
    bool broken() const { return m_lengthBroken && !m_coded; }

private:
    std::optional<qint64> m_length;
    bool m_lengthBroken = false; // an unreadable or contradicting length
    bool m_coded = false;        // a transfer coding
    bool m_chunked = false;      // whose last coding is chunked
    bool m_noBody = false;
};

} // namespace kelvane::plexant
