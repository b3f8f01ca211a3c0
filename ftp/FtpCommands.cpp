// Commands and replies on the control connection: each command's reply is read as its own,
// also when replies owed by earlier commands come first.
#include "ftp/FTPCtrl.h"
#include "ftp/FtpCodes.h"
#include "ftp/FtpControlConn.h"
#include "platform/sockets/SocketErrors.h"

namespace kelvane::ftp {

namespace {
constexpr int kMaxTraceLength = 256;
} // namespace

std::optional<QByteArray> CFTPCtrl::encodeName(const QString& name)
{
    auto encoded = m_encoding.encode(name);
    if (!encoded)
        m_control->setMessage(text::BadPropertyValue);
    return encoded;
}

int CFTPCtrl::sendNamed(const QByteArray& verb, const QString& name)
{
    const auto argument = encodeName(name);
    return argument ? sendCommand(verb, *argument) : code::BadPropertyValue;
}

int CFTPCtrl::sendCommand(const QByteArray& verb, const QByteArray& argument)
{
    if (const int result = drainReplies())
        return result;
    PendingReplies::Serial serial = 0;
    if (const int result = sendOnly(verb, argument, serial))
        return result;
    return awaitReply(serial);
}

int CFTPCtrl::sendOnly(const QByteArray& verb, const QByteArray& argument, PendingReplies::Serial& serial)
{
    readArrivedLines();
    QByteArray trace = verb.left(kMaxTraceLength);
    if (!argument.isEmpty() && verb.size() < kMaxTraceLength)
        trace = (trace + ' ' + argument).left(kMaxTraceLength);
    firePITrail(0, m_encoding.decode(trace));
    // One send for the whole line: some servers misread a command that arrives in pieces
    // while a data connection is open.
    const QByteArray line = argument.isEmpty() ? verb + "\r\n" : verb + ' ' + argument + "\r\n";
    if (const int result = m_control->sendLine(line))
        return result;
    serial = m_replies.sent(verb);
    return 0;
}

int CFTPCtrl::awaitReply(PendingReplies::Serial serial, bool mayShareReply)
{
    for (;;) {
        // An abort inside this wait read the rest; the wait ends as the abort asked.
        if (interruptRequested())
            return code::Interrupted;
        if (const auto answer = m_replies.takeAnswer(serial)) {
            m_answer = answer->line;
            if (answer->positive)
                return 0;
            m_control->setMessage(m_encoding.decode(answer->line));
            return code::UnexpectedReply;
        }
        // Once the reply before it came, a reply of its own is given a little while: some
        // servers answer a transfer and its abort with one reply and send no other.
        if (mayShareReply && m_replies.oldest() == serial) {
            const int result = readReplyLine(SharedReplyGrace);
            if (result == CLineConn::NoLineInTime) {
                m_replies.settle(serial);
                return 0;
            }
            if (result != 0)
                return result;
            continue;
        }
        if (const int result = readReplyLine())
            return result;
    }
}

int CFTPCtrl::drainReplies()
{
    while (m_replies.owed()) {
        if (interruptRequested())
            return code::Interrupted;
        if (const int result = readReplyLine())
            return result;
    }
    return 0;
}

int CFTPCtrl::readReplyLine(std::optional<std::chrono::milliseconds> within)
{
    const int result = m_control->waitReplyLine(within);
    if (result == platform::sockets::error::TimedOut || result == code::UnexpectedReply) {
        // The reply never came or never ended: whatever follows cannot be matched to a command.
        dropControlConnection();
        m_control->setMessage(result == code::UnexpectedReply ? text::UnexpectedReply : QString());
        return result;
    }
    if (result != 0)
        return result;
    noteReplyLine(m_control->replyLine());
    return 0;
}

void CFTPCtrl::readArrivedLines()
{
    // Read in order, they answer what is owed; one that came while nothing was owed answers
    // no command, least of all the next one.
    while (m_control->takeArrivedLine())
        noteReplyLine(m_control->replyLine());
}

void CFTPCtrl::noteReplyLine(const QByteArray& line)
{
    // Read in order before the trace's handlers run, which may send commands of their own.
    m_replies.read(line);
    if (m_readingFeatures && namesUtf8Feature(line))
        m_utf8Announced = true;
    firePITrail(1, m_encoding.decode(line));
}

void CFTPCtrl::dropControlConnection()
{
    m_control->closeHard();
    resetSession();
    firePITrail(2, QStringLiteral("Disconnected."));
}

void CFTPCtrl::resetSession()
{
    m_replies.clear();
    m_encoding = NameEncoding();
    m_featuresAsked = false;
    m_readingFeatures = false;
}

} // namespace kelvane::ftp
