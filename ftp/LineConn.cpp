#include "ftp/LineConn.h"

#include "ftp/FtpCodes.h"
#include "ftp/WsockCtrl.h"
#include "platform/sockets/SocketErrors.h"

#include <QElapsedTimer>

namespace kelvane::ftp {

using platform::sockets::error::TimedOut;
using platform::sockets::error::WouldBlock;

CLineConn::CLineConn(CWsockCtrl& control) : CWsockConn(control) {}

int CLineConn::connectAndWait()
{
    if (isConnected())
        return 0;
    m_storedCode.reset();
    m_lines.clear();
    m_lineReady = false;
    m_lineRefused = false;
    setReceiving(false);
    if (const int failure = connect())
        return failure;
    control().noteProgress();
    int result = 0;
    while (!isConnected() && !m_storedCode) {
        bool idle = false;
        if (control().pumpMessages(CWsockCtrl::PollMilliseconds, &idle) == 0) {
            result = m_storedCode.value_or(code::Interrupted);
            break;
        }
        if (idle && !isConnected() && !m_storedCode && control().progressStalled()) {
            result = TimedOut;
            break;
        }
    }
    if (result == 0)
        result = m_storedCode.value_or(0);
    // A connect given up on is abandoned: the control is idle and free to connect again.
    if (result != 0 && hasSocket() && !isConnected())
        closeHard();
    setReceiving(true);
    return result;
}

int CLineConn::sendLine(const QByteArray& line)
{
    m_replyLine.clear();
    setReceiving(false);
    qsizetype done = 0;
    while (done < line.size()) {
        const int result = send(line.constData() + done, static_cast<int>(line.size() - done));
        done += lastSent();
        if (result == 0)
            break;
        if (result != WouldBlock)
            return result;
        bool idle = false;
        if (control().pumpMessages(CWsockCtrl::PollMilliseconds, &idle) == 0)
            return code::Interrupted;
        if (idle && control().progressStalled())
            return TimedOut;
    }
    return 0;
}

int CLineConn::waitReplyLine(std::optional<std::chrono::milliseconds> within)
{
    ++m_waitDepth;
    const int result = awaitLine(within);
    --m_waitDepth;
    return result;
}

bool CLineConn::takeArrivedLine()
{
    if (!m_lineReady && !m_lineRefused && isConnected()) {
        setReceiving(true);
        readNow();
        setReceiving(false);
    }
    return std::exchange(m_lineReady, false);
}

int CLineConn::awaitLine(std::optional<std::chrono::milliseconds> within)
{
    QElapsedTimer waited;
    waited.start();
    bool busy = false;
    for (;;) {
        if (m_lineRefused) {
            setMessage(text::UnexpectedReply);
            return code::UnexpectedReply;
        }
        if (m_lineReady) {
            m_lineReady = false;
            return 0;
        }
        // Delivery pauses after each line, also after one a nested wait took.
        if (!receiving())
            setReceiving(true);
        bool idle = false;
        if (control().pumpMessages(busy ? 0 : CWsockCtrl::PollMilliseconds, &idle) == 0)
            return code::Interrupted;
        // A read notification that went astray cannot stall the wait.
        if (idle && !m_lineReady)
            readNow();
        if (m_lineReady || m_lineRefused)
            continue;
        if (const int failure = waitStep(busy))
            return failure;
        if (idle && !busy && control().progressStalled())
            return TimedOut;
        if (within && waited.elapsed() >= within->count())
            return NoLineInTime;
    }
}

void CLineConn::onData(QByteArrayView piece, bool complete)
{
    switch (m_lines.add(piece, complete)) {
    case LineAssembler::Result::Partial: return;
    case LineAssembler::Result::TooLong:
        // Nothing more of this connection can be read in step.
        m_lineRefused = true;
        break;
    case LineAssembler::Result::Line:
        if (m_lines.line().isEmpty())
            return;
        m_replyLine = m_lines.line();
        m_lineReady = true;
        break;
    }
    setReceiving(false);
}

void CLineConn::onConnected(int code) { m_storedCode = code; }

void CLineConn::onDisconnected(int code)
{
    m_storedCode = code;
    if (m_waitDepth > 0)
        control().interruptWait();
}

} // namespace kelvane::ftp
