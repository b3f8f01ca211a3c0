#pragma once

#include "ftp/WsockConn.h"

#include <optional>

namespace kelvane::ftp {

// A connection that exchanges command lines and reply lines, and waits for them while the
// thread's messages keep flowing. Delivery pauses after each reply line, so the next one stays
// buffered until the next wait asks for it. Empty lines are skipped; a line longer than the
// receive buffer is gathered from its pieces (and kept up to MaxReplyLength characters).
class CLineConn : public CWsockConn {
public:
    static constexpr int MaxReplyLength = 1024;

    explicit CLineConn(CWsockCtrl& control);

    // Connects and waits until the connection is made or refused: 0, or the failure.
    int connectAndWait();
    // Sends the line and waits for a reply line.
    int sendLine(const QByteArray& line);
    // Sends the verb, " " and the argument (when there is one) and the line end, and waits for
    // a reply line. With no verb only the reply is awaited.
    int sendCommandLine(const QByteArray& verb, const QByteArray& argument);
    // Waits for the next reply line: 0, the wait step's failure, or Interrupted (20302).
    int waitReplyLine();

    const QByteArray& replyLine() const { return m_replyLine; }
    bool waitingForReply() const { return m_waiting; }

protected:
    void onData(const QByteArray& piece, bool complete) override;
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
    int sendAll(const QByteArray& bytes);
    int beginSend();
    int endSend(int result);

    QByteArray m_replyLine;
    QByteArray m_partialLine;
    bool m_waiting = false;
    std::optional<int> m_storedCode;
};

} // namespace kelvane::ftp
