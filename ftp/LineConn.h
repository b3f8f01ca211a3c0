#pragma once

#include "ftp/LineAssembler.h"
#include "ftp/WsockConn.h"

#include <chrono>
#include <optional>

namespace kelvane::ftp {

// A connection that exchanges command lines and reply lines, and waits for them while the
// thread's messages keep flowing. Delivery pauses after each reply line, so the next one stays
// buffered until the next wait asks for it. Empty lines are skipped; a line longer than the
// receive buffer is gathered from its pieces (and kept up to 1024 characters); a line that
// never ends fails the wait.
//
// Every wait gives up with the socket time-out (10060) once nothing moved on the control's
// connections for its no-progress limit; a connect abandoned that way or by an interrupt is
// closed again.
class CLineConn : public CWsockConn {
public:
    static constexpr int MaxReplyLength = static_cast<int>(LineAssembler::MaxReplyLength);

    explicit CLineConn(CWsockCtrl& control);

    // Connects and waits until the connection is made or refused: 0, or the failure.
    int connectAndWait();
    // Sends the whole line (its line end included), pausing delivery until the next wait.
    int sendLine(const QByteArray& line);
    // What waitReplyLine answers when no line came within the time it was given.
    static constexpr int NoLineInTime = -1;
    // Waits for the next reply line: 0, the wait step's failure, Interrupted (20302), the
    // time-out (10060), UnexpectedReply (20142) for a line without an end, or NoLineInTime
    // when `within` passed first.
    int waitReplyLine(std::optional<std::chrono::milliseconds> within = std::nullopt);
    // Takes a reply line that already came, without waiting: false when none did.
    bool takeArrivedLine();

    const QByteArray& replyLine() const { return m_replyLine; }
    bool waitingForReply() const { return m_waitDepth > 0; }

protected:
    void onData(QByteArrayView piece, bool complete) override;
    void onConnected(int code) override;
    void onDisconnected(int code) override;
    // Runs on every step of a reply wait: a failure ends the wait with it; `busy` asks for the
    // next step at once.
    virtual int waitStep(bool& busy)
    {
        busy = false;
        return 0;
    }

private:
    int awaitLine(std::optional<std::chrono::milliseconds> within);

    LineAssembler m_lines = LineAssembler::forReplies();
    QByteArray m_replyLine;
    // A line came and no wait took it yet. Waits nest (an event handler inside one may send a
    // command of its own); each line goes to the wait that takes it, so an outer wait goes on
    // waiting for a line of its own.
    bool m_lineReady = false;
    int m_waitDepth = 0;
    bool m_lineRefused = false;
    std::optional<int> m_storedCode;
};

} // namespace kelvane::ftp
