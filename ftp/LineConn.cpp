#include "ftp/LineConn.h"

#include "ftp/FtpCodes.h"
#include "ftp/WsockCtrl.h"
#include "platform/sockets/SocketErrors.h"

namespace kelvane::ftp {

using platform::sockets::error::WouldBlock;

CLineConn::CLineConn(CWsockCtrl& control) : CWsockConn(control) {}

int CLineConn::connectAndWait()
{
    if (isConnected())
        return 0;
    m_storedCode.reset();
    setReceiving(false);
    if (const int failure = connect())
        return failure;
    while (!isConnected() && !m_storedCode) {
        if (control().pumpMessages(CWsockCtrl::PollMilliseconds) == 0) {
            setReceiving(true);
            return m_storedCode.value_or(code::Interrupted);
        }
    }
    setReceiving(true);
    return m_storedCode.value_or(0);
}

int CLineConn::sendAll(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const int result = send(bytes.constData() + done, static_cast<int>(bytes.size() - done));
        done += lastSent();
        if (result == 0)
            break;
        if (result != WouldBlock)
            return result;
        if (control().pumpMessages(CWsockCtrl::PollMilliseconds) == 0)
            return code::Interrupted;
    }
    return 0;
}

int CLineConn::beginSend()
{
    m_waiting = true;
    m_replyLine.clear();
    m_partialLine.clear();
    setReceiving(false);
    return 0;
}

int CLineConn::endSend(int result)
{
    if (result != 0) {
        m_waiting = false;
        setReceiving(true);
        return result;
    }
    return waitReplyLine();
}

int CLineConn::sendLine(const QByteArray& line)
{
    beginSend();
    return endSend(sendAll(line));
}

int CLineConn::sendCommandLine(const QByteArray& verb, const QByteArray& argument)
{
    if (verb.isEmpty())
        return waitReplyLine();
    // One send for the whole line: some servers misread a command that arrives in pieces
    // while a data connection is open.
    return sendLine(argument.isEmpty() ? verb + "\r\n" : verb + ' ' + argument + "\r\n");
}

int CLineConn::waitReplyLine()
{
    m_waiting = true;
    setReceiving(true);
    bool busy = false;
    for (;;) {
        bool idle = false;
        if (control().pumpMessages(busy ? 0 : CWsockCtrl::PollMilliseconds, &idle) == 0)
            return code::Interrupted;
        if (!m_waiting)
            return 0;
        // A read notification that went astray cannot stall the wait.
        if (idle)
            readNow();
        if (!m_waiting)
            return 0;
        if (const int failure = waitStep(busy))
            return failure;
    }
}

void CLineConn::onData(const QByteArray& piece, bool complete)
{
    if (m_partialLine.size() < MaxReplyLength)
        m_partialLine.append(piece.left(MaxReplyLength - m_partialLine.size()));
    if (!complete || m_partialLine.isEmpty())
        return;
    m_replyLine = m_partialLine;
    m_partialLine.clear();
    m_waiting = false;
    setReceiving(false);
}

void CLineConn::onConnected(int code) { m_storedCode = code; }

void CLineConn::onDisconnected(int code)
{
    m_storedCode = code;
    if (m_waiting)
        control().interruptWait();
}

} // namespace kelvane::ftp
