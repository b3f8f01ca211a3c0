// The action engine of the FTP control: each operation's commands and replies, and the data
// connection of transfers and listings.
#include "ftp/FTPCtrl.h"
#include "ftp/FtpCodes.h"
#include "ftp/FtpControlConn.h"
#include "ftp/FtpReplies.h"
#include "platform/TextEncoding.h"
#include "platform/sockets/SocketErrors.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace kelvane::ftp {

using namespace platform::sockets;
using platform::encoding::toAnsi;

namespace {

// How long a transfer waits, after the server's final reply, for the data connection to close.
constexpr int kDataCloseMilliseconds = 5000;
constexpr int kMaxTraceLength = 256;
const QByteArray kAbortVerb = "ABOR";

} // namespace

void CFTPCtrl::beginExchange()
{
    // A stop asked for earlier ends no wait of a new exchange.
    if (m_action == a_Idle)
        clearInterrupt();
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
    // An abort from inside another action's event handler ends that action's wait: the
    // transfer it waited for was cut short.
    if (action == a_Abort && outer != a_Idle && result == 0)
        interruptWait();
    return result;
}

int CFTPCtrl::perform(int action)
{
    switch (action) {
    case a_Abort: {
        m_control->setMessage({});
        // Drop the data connection first: a server blocked on sending to it might not read
        // the abort, and its bytes are not wanted any more.
        m_data->abortTransfer();
        api().setOption(m_control->socket(), SocketOption::OutOfBandInline, 1);
        // Telnet IAC IP IAC DM, as urgent data, ahead of the command.
        const char interrupt[] = {char(255), char(244), char(255), char(242)};
        m_control->send(interrupt, sizeof interrupt, SendOutOfBand);
        return sendCommand(kAbortVerb);
    }
    case a_Logon: return logOn();
    case a_Logoff: return logOff();
    case a_Download:
    case a_Upload:
    case a_ListDirectory:
    case a_ListDirectoryLong: return transfer(action);
    case a_DeleteFile: return sendCommand("DELE", toAnsi(m_remoteFile));
    case a_RenameFile:
        if (const int result = sendCommand("RNFR", toAnsi(m_remoteFile)))
            return result;
        return sendCommand("RNTO", toAnsi(m_altFile));
    case a_MakeDirectory: return sendCommand("MKD", toAnsi(m_remoteFile));
    case a_RemoveDirectory: return sendCommand("RMD", toAnsi(m_remoteFile));
    case SetAscii:
    case SetBinary: {
        const int result = sendCommand(action == SetAscii ? "TYPE A" : "TYPE I");
        if (result == 0)
            m_transferMode = action == SetAscii ? tm_ASCII : tm_Binary;
        return result;
    }
    case ChangeDirectory:
        return m_remotePath == QLatin1String("..") ? sendCommand("CDUP") : sendCommand("CWD", toAnsi(m_remotePath));
    case RawCommand: return sendCommand(toAnsi(m_command));
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
        if (const int result = sendCommand({}))
            return result;
    }
    bool loggedIn = false;
    if (!m_user.isEmpty()) {
        if (const int result = sendCommand("USER", toAnsi(m_user)))
            return result;
        // 230: the user needs no password.
        loggedIn = m_control->replyLine().startsWith('2');
    }
    if (!m_password.isEmpty() && !loggedIn) {
        if (const int result = sendCommand("PASS", toAnsi(m_password)))
            return result;
    }
    // The type is set as an action of its own.
    m_action = a_Idle;
    return m_transferMode != tm_Default ? SetTransferMode(m_transferMode) : 0;
}

int CFTPCtrl::logOff()
{
    if (!m_control->isConnected())
        return 0;
    const int result = sendCommand("QUIT");
    if (result != 0)
        firePITrail(2, QStringLiteral("Forcing disconnection from FTP server."));
    m_control->disconnect();
    return result;
}

int CFTPCtrl::transfer(int action)
{
    const QByteArray restart = m_startByte != 0 ? QByteArray::number(m_startByte) : QByteArray();
    QByteArray verb;
    switch (action) {
    case a_Download:
        m_data->beginTransfer(m_localFile.isEmpty() ? CFTPDataConn::Mode::ToEvents : CFTPDataConn::Mode::Download);
        m_data->setDelimiter({}, false);
        verb = "RETR";
        break;
    case a_Upload:
        if (m_localFile.isEmpty()) {
            m_control->setMessage(text::NoUploadFile);
            return code::NoLocalFile;
        }
        if (QFile probe(m_localFile); !probe.open(QIODevice::ReadOnly)) {
            m_control->setMessage(text::UploadFileUnreadable);
            return code::NoLocalFile;
        }
        m_data->beginTransfer(CFTPDataConn::Mode::Upload);
        m_data->setDelimiter({}, false);
        verb = "STOR";
        break;
    default:
        m_data->beginTransfer(CFTPDataConn::Mode::Listing);
        m_data->setDelimiter("\r\n", false);
        verb = action == a_ListDirectory ? "NLST" : "LIST";
        break;
    }
    if (const int result = openDataPath())
        return result;
    if ((action == a_Download || action == a_Upload) && !restart.isEmpty()) {
        if (const int result = sendCommand("REST", restart))
            return result;
    }
    m_data->setUploadCommandSent(action == a_Upload);
    int result = sendCommand(verb, toAnsi(m_remoteFile));
    m_data->setUploadCommandSent(false);
    if (result == 0 && action != a_Upload)
        awaitDataClose();
    if (result == 0 && m_data->failure() != 0) {
        m_control->setMessage(m_data->failureText());
        result = code::LocalFileIo;
    }
    return result;
}

int CFTPCtrl::sendCommand(const QByteArray& verb, const QByteArray& argument)
{
    if (!verb.isEmpty()) {
        QByteArray trace = verb.left(kMaxTraceLength);
        if (!argument.isEmpty() && verb.size() < kMaxTraceLength)
            trace = (trace + ' ' + argument).left(kMaxTraceLength);
        firePITrail(0, platform::encoding::fromAnsi(trace));
    }
    int result = m_control->sendCommandLine(verb, argument);
    ReplyReader reader;
    while (result == 0) {
        const QByteArray line = m_control->replyLine();
        firePITrail(1, platform::encoding::fromAnsi(line));
        switch (reader.add(line)) {
        case ReplyReader::Line::Positive: return 0;
        case ReplyReader::Line::Preliminary:
            m_data->transferAccepted();
            break;
        case ReplyReader::Line::Negative:
            if (!(verb == kAbortVerb && line.startsWith("426"))) {
                m_control->setMessage(platform::encoding::fromAnsi(line));
                return code::UnexpectedReply;
            }
            break;
        case ReplyReader::Line::Continues: break;
        }
        result = m_control->waitReplyLine();
    }
    return result;
}

int CFTPCtrl::openDataPath() { return m_passive ? openPassiveDataPath() : openActiveDataPath(); }

int CFTPCtrl::openPassiveDataPath()
{
    m_data->disconnect();
    if (const int result = sendCommand("PASV"))
        return result;
    const auto address = passiveAddress(m_control->replyLine());
    if (!address) {
        fireError(code::UnexpectedReply, text::UnexpectedReply);
        m_control->setMessage(text::UnexpectedReply);
        return code::UnexpectedReply;
    }
    // The connection completes while the next commands go out; a failure shows in the
    // server's reply to the transfer command.
    m_data->setRemoteAddress(address->address);
    m_data->setRemotePort(address->port);
    m_data->connect();
    return 0;
}

int CFTPCtrl::openActiveDataPath()
{
    if (const int result = m_data->openListenSocket())
        return result;
    SocketAddress listening;
    if (api().localAddress(m_data->listenSocket(), listening) != 0 || listening.port == 0)
        return api().lastError();
    SocketAddress local;
    if (api().localAddress(m_control->socket(), local) != 0)
        return api().lastError();
    return sendCommand("PORT", portArgument(SocketAddress {local.address, listening.port}));
}

void CFTPCtrl::awaitDataClose()
{
    QElapsedTimer clock;
    clock.start();
    // In active mode the server may connect only after its final reply has come.
    const auto open = [this] { return m_data->hasSocket() || m_data->listenSocket() != InvalidSocket; };
    while (open() && clock.elapsed() < kDataCloseMilliseconds) {
        if (pumpMessages(PollMilliseconds) == 0)
            break;
    }
    m_data->disconnect();
    m_data->closeListenSocket();
}

void CFTPCtrl::cleanUpDataSide()
{
    // Passive: the data connection; active: the listening socket and any connection the
    // server made to it.
    if (!m_passive)
        m_data->closeListenSocket();
    m_data->disconnect();
}

void CFTPCtrl::acceptDataConnection(platform::sockets::SocketHandle socket, int event)
{
    if (socket == m_data->listenSocket() && event == event::Accept)
        m_data->acceptConnection();
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
        m_remotePath = platform::encoding::fromAnsi(pathOfPwdReply(m_control->replyLine())).left(PathLength);
    m_control->setMessage(message);
    return m_remotePath;
}

} // namespace kelvane::ftp
