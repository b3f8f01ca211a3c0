#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace kelvane::plexant {

// The body of a reply sent in chunks: each chunk's size in hexadecimal on a line of its own
// (extensions after ";" are skipped), its bytes and a line end; a chunk of size 0 and the
// trailer lines after it end the body. The bytes may arrive cut anywhere. Lines are capped
// and sizes bounded, so broken or hostile framing is refused rather than kept.
class ChunkedBody {
public:
    static constexpr qsizetype kMaxLine = 4096;
    static constexpr qsizetype kMaxTrailer = 64 * 1024;
    // A size of more hexadecimal digits than this is refused.
    static constexpr int kMaxSizeDigits = 15;

    enum class State { More, Done, Broken };

    // Takes the next bytes received and appends the body's bytes among them to `body`. Once
    // the body is done (or broken) nothing more is taken.
    State take(QByteArrayView bytes, QByteArray& body);
    State state() const;

private:
    enum class Phase { Size, Data, DataEnd, Trailer, Done, Broken };

    // Gathers a line up to its LF; true once it is whole (without its line end, in m_line).
    bool gatherLine(QByteArrayView bytes, qsizetype& at);
    Phase sizeLine();

    Phase m_phase = Phase::Size;
    QByteArray m_line;
    bool m_lineWhole = false;
    qint64 m_remaining = 0;
    qsizetype m_trailerBytes = 0;
};

} // namespace kelvane::plexant
