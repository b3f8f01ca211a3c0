#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace kelvane::ftp {

// Gathers the pieces a connection's receive buffer hands over into lines. A piece that ends
// a line completes it; a line keeps its first `keep` bytes; a line longer than `limit` bytes
// is refused, so a peer that never ends a line cannot hold the reader for ever or fill the
// memory.
class LineAssembler {
public:
    enum class Result {
        Partial, // the line goes on
        Line,    // a line is complete: line()
        TooLong, // the line passed the limit; every piece is refused until clear()
    };

    // Reply lines of the control connection: 1024 bytes are kept (LastReply's size).
    static constexpr qsizetype MaxReplyLength = 1024;
    // No reply line or listing line of a real server comes near this.
    static constexpr qsizetype MaxReplyLine = 64 * 1024;
    static constexpr qsizetype MaxListingLine = 64 * 1024;

    LineAssembler(qsizetype keep, qsizetype limit);
    static LineAssembler forReplies() { return {MaxReplyLength, MaxReplyLine}; }
    static LineAssembler forListings() { return {MaxListingLine, MaxListingLine}; }

    Result add(QByteArrayView piece, bool complete);
    // The line add() completed last.
    const QByteArray& line() const { return m_line; }
    // The bytes of a line not yet ended (what a stream closed on), forgotten once taken.
    bool takeUnfinished(QByteArray& line);
    void clear();

private:
    qsizetype m_keep;
    qsizetype m_limit;
    QByteArray m_partial;
    qsizetype m_length = 0;
    QByteArray m_line;
    bool m_refused = false;
};

} // namespace kelvane::ftp
