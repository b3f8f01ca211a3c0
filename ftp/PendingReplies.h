#pragma once

#include "ftp/FtpReplies.h"

#include <QByteArray>
#include <deque>
#include <optional>

namespace kelvane::ftp {

// The commands sent on a control connection whose final reply has not been read yet, in
// order. Reply lines answer them in turn: each final reply answers the oldest command still
// waiting, so a reply that arrives late (after an abort, or after the host stopped waiting)
// is read as that command's and never as the next one's. Preliminary replies (1xx) and the
// inner lines of a reply of several lines answer nothing; an abort's 426 answers nothing
// either when the abort is the oldest command waiting (its own reply follows).
class PendingReplies {
public:
    using Serial = quint64;
    struct Answer {
        Serial serial = 0;
        QByteArray line; // the reply's last line
        bool positive = false;
    };

    // A command went out (an empty verb: the greeting a new connection waits for).
    Serial sent(const QByteArray& verb);
    // Reads one reply line; the answer it completes, if any.
    std::optional<Answer> read(const QByteArray& line);
    bool owed() const { return !m_waiting.empty(); }
    // The oldest command still waiting for its reply; 0 for none.
    Serial oldest() const { return m_waiting.empty() ? 0 : m_waiting.front().serial; }
    // That command was answered by the reply before it (a server may answer a transfer and
    // its abort at once): it is owed nothing more.
    void settle(Serial serial);
    // The answer to that command once it came, handed out once. Only the last few answers
    // are kept for their readers: the others were read past (a late reply drained).
    std::optional<Answer> takeAnswer(Serial serial);
    // The connection closed: nothing is owed any more.
    void clear();

private:
    struct Waiting {
        Serial serial;
        QByteArray verb;
    };

    std::deque<Waiting> m_waiting;
    std::deque<Answer> m_answers;
    ReplyReader m_reader;
    Serial m_lastSerial = 0;
};

} // namespace kelvane::ftp
