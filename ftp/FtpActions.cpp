// The action engine of the FTP control: what each operation sends, in what order, and how
// the session begins and ends.
#include "ftp/FTPCtrl.h"
#include "ftp/FtpCodes.h"
#include "ftp/FtpControlConn.h"
#include "ftp/FtpReplies.h"

namespace kelvane::ftp {

using namespace platform::sockets;

void CFTPCtrl::beginExchange()
{
    // A stop asked for earlier ends no wait of a new exchange, and the quiet time before it
    // is no wait either.
    if (m_action == a_Idle) {
        clearInterrupt();
        noteProgress();
    }
}

int CFTPCtrl::SetAction(int action)
{
    m_control->setMessage({});
    if (m_action != a_Idle && action != a_Idle && action != a_Abort) {
        m_control->setMessage(text::Busy);
        return code::Busy;
    }
    if (action == a_Idle) {
        interruptWait();
        return 0;
    }
    beginExchange();
    const qint16 outer = m_action;
    int result = 0;
    if (!m_control->isConnected() && action != a_Logon && action != a_Logoff) {
        result = SetAction(a_Logon);
        if (result == code::Interrupted)
            return result;
    }
    if (result == 0) {
        m_action = static_cast<qint16>(action);
        result = perform(action);
    }
    m_action = outer;
    if (result != 0)
        cleanUpDataSide();
    // An abort from inside another action's event handler ends that action's wait, whatever
    // the server said to it: the transfer it waited for was cut short, and its reply may
    // have been read by the abort.
    if (action == a_Abort && outer != a_Idle)
        interruptWait();
    return result;
}

int CFTPCtrl::perform(int action)
{
    switch (action) {
    case a_Abort: return abort();
    case a_Logon: return logOn();
    case a_Logoff: return logOff();
    case a_Download:
    case a_Upload:
    case a_ListDirectory:
    case a_ListDirectoryLong: return transfer(action);
    case a_DeleteFile: return sendNamed("DELE", m_remoteFile);
    case a_RenameFile:
        if (const int result = sendNamed("RNFR", m_remoteFile))
            return result;
        return sendNamed("RNTO", m_altFile);
    case a_MakeDirectory: return sendNamed("MKD", m_remoteFile);
    case a_RemoveDirectory: return sendNamed("RMD", m_remoteFile);
    case SetAscii:
    case SetBinary: {
        const int result = sendCommand(action == SetAscii ? "TYPE A" : "TYPE I");
        if (result == 0)
            m_transferMode = action == SetAscii ? tm_ASCII : tm_Binary;
        return result;
    }
    case ChangeDirectory:
        return m_remotePath == QLatin1String("..") ? sendCommand("CDUP") : sendNamed("CWD", m_remotePath);
    case RawCommand: {
        const auto line = encodeName(m_command);
        return line ? sendCommand(*line) : code::BadPropertyValue;
    }
    default: return 0;
    }
}

platform::sockets::SocketLibrary& CFTPCtrl::api() const { return socketLayer().api(); }

int CFTPCtrl::logOn()
{
    if (!m_control->isConnected()) {
        firePITrail(2, QStringLiteral("Connecting to FTP server."));
        if (const int result = m_control->connectAndWait())
            return result;
        // The greeting answers the connection.
        if (const int result = awaitReply(m_replies.sent({})))
            return result;
    }
    bool loggedIn = false;
    if (!m_user.isEmpty()) {
        if (const int result = sendNamed("USER", m_user))
            return result;
        // 230: the user needs no password.
        loggedIn = m_answer.startsWith('2');
    }
    if (!m_password.isEmpty() && !loggedIn) {
        if (const int result = sendNamed("PASS", m_password))
            return result;
    }
    if (!m_featuresAsked) {
        if (const int result = askNameEncoding())
            return result;
    }
    // The type is set as an action of its own.
    m_action = a_Idle;
    return m_transferMode != tm_Default ? SetTransferMode(m_transferMode) : 0;
}

int CFTPCtrl::askNameEncoding()
{
    // A server that refuses these commands knows nothing of UTF-8 names: that is no failure.
    const auto failed = [](int result) { return result != 0 && result != code::UnexpectedReply; };
    if (const int result = drainReplies())
        return result;
    m_featuresAsked = true;
    m_utf8Announced = false;
    m_readingFeatures = true;
    const int features = sendCommand("FEAT");
    m_readingFeatures = false;
    if (failed(features))
        return features;
    bool utf8 = features == 0 && m_utf8Announced;
    if (!utf8) {
        const int options = sendCommand("OPTS", "UTF8 ON");
        if (failed(options))
            return options;
        utf8 = options == 0;
    }
    m_control->setMessage({});
    m_encoding.utf8 = utf8;
    return 0;
}

int CFTPCtrl::logOff()
{
    if (!m_control->hasSocket())
        return 0;
    // A connect still in progress is abandoned.
    if (!m_control->isConnected()) {
        m_control->closeHard();
        resetSession();
        return 0;
    }
    const int result = sendCommand("QUIT");
    if (result != 0)
        firePITrail(2, QStringLiteral("Forcing disconnection from FTP server."));
    m_control->disconnect();
    return result;
}

int CFTPCtrl::abort()
{
    m_control->setMessage({});
    api().setOption(m_control->socket(), SocketOption::OutOfBandInline, 1);
    // Telnet IAC IP IAC DM, as urgent data, ahead of the command.
    const char interrupt[] = {char(255), char(244), char(255), char(242)};
    m_control->send(interrupt, sizeof interrupt, SendOutOfBand);
    PendingReplies::Serial serial = 0;
    if (const int result = sendOnly("ABOR", {}, serial))
        return result;
    // The data connection goes only once ABOR is out: a server that saw it go first could
    // end the transfer and take ABOR for a command of its own. Then ABOR's reply comes after
    // whatever the transfer command is still owed (426 or 226), or with it.
    m_data->abortTransfer();
    return awaitReply(serial, m_replies.oldest() != serial);
}

int CFTPCtrl::SetTransferMode(int mode)
{
    m_control->setMessage({});
    if (m_action != a_Idle) {
        m_control->setMessage(text::Busy);
        return code::Busy;
    }
    if (!m_control->isConnected() || mode == tm_Default) {
        m_transferMode = static_cast<qint16>(mode);
        return 0;
    }
    return SetAction(mode == tm_ASCII ? SetAscii : SetBinary);
}

int CFTPCtrl::SetRemotePath(const QString& path)
{
    m_control->setMessage({});
    if (m_action != a_Idle) {
        m_control->setMessage(text::Busy);
        return code::Busy;
    }
    m_remotePath = path;
    return m_control->isConnected() ? SetAction(ChangeDirectory) : 0;
}

QString CFTPCtrl::GetRemotePath()
{
    // During an action the exchange in progress owns the reply lines.
    if (!m_control->isConnected() || m_action != a_Idle)
        return m_remotePath;
    beginExchange();
    const QString message = m_control->message();
    if (sendCommand("PWD") == 0)
        m_remotePath = m_encoding.decode(pathOfPwdReply(m_answer)).left(PathLength);
    m_control->setMessage(message);
    return m_remotePath;
}

} // namespace kelvane::ftp
