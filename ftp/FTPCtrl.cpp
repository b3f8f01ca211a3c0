#include "ftp/FTPCtrl.h"

#include "ftp/FtpCodes.h"
#include "ftp/FtpControlConn.h"
#include "platform/TextEncoding.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/PropertyBag.h"
#include "platform/sockets/SocketErrors.h"

namespace kelvane::ftp {

using namespace platform::sockets;
using platform::automation::PropertyBag;

namespace {

constexpr qint32 kPersistedVersion = 0x30000;
constexpr int kMaxFailureText = 100;

QString failureText(const char* lead, int socketError, int maxErrorText)
{
    return (QString::fromLatin1(lead) + socketErrorSentence(socketError).left(maxErrorText)).left(kMaxFailureText);
}

} // namespace

// The control connection.

CFTPControlConn::CFTPControlConn(CFTPCtrl& ftp) : CLineConn(ftp), m_ftp(ftp)
{
    setDelimiter("\r\n", true);
}

void CFTPControlConn::onConnected(int code)
{
    CLineConn::onConnected(code);
    m_ftp.reportConnected(code);
}

void CFTPControlConn::onDisconnected(int code)
{
    CLineConn::onDisconnected(code);
    m_ftp.resetSession();
    m_ftp.reportDisconnected(code);
}

void CFTPControlConn::onError(int code, const QString& text) { m_ftp.fireError(code, text); }

int CFTPControlConn::waitStep(bool& busy)
{
    busy = false;
    return m_ftp.m_data->uploading() ? m_ftp.m_data->sendUploadBlock(busy) : 0;
}

// The control.

CFTPCtrl::CFTPCtrl(QObject* parent)
    : CWsockCtrl(parent)
    , m_control(std::make_unique<CFTPControlConn>(*this))
    , m_data(std::make_unique<CFTPDataConn>(*this))
{
    m_control->setRemotePort(21);
}

CFTPCtrl::~CFTPCtrl()
{
    m_data->closeListenSocket();
    m_data->closeHard();
    m_control->closeHard();
    releaseSocketLayer();
    destroyWindow();
}

CWsockConn& CFTPCtrl::controlConnection() const { return *m_control; }

void CFTPCtrl::windowMessage(const WindowMessage& message)
{
    if (message.message != SocketMessage) {
        CWsockCtrl::windowMessage(message);
        return;
    }
    const auto socket = static_cast<platform::sockets::SocketHandle>(message.wParam);
    const int event = notificationEvent(message.lParam);
    const int error = notificationError(message.lParam);
    if (event < 1 || event > 32)
        return;
    if (socket == m_control->socket())
        m_control->handleNotification(event, error);
    else if (socket == m_data->socket())
        m_data->handleNotification(event, error);
    else
        acceptDataConnection(socket, event);
}

void CFTPCtrl::requireSendable(const QString& value, int length)
{
    // A line break would end the command early and send the rest as a command of its own.
    const bool sendable = value.size() <= length && !value.contains(u'\r') && !value.contains(u'\n')
        && !value.contains(QChar(u'\0'));
    if (!sendable)
        platform::automation::raiseAutomationError(code::BadPropertyValue, text::BadPropertyValue);
}

QString CFTPCtrl::RemoteHost() { return m_control->remoteHostText(); }

void CFTPCtrl::setRemoteHost(const QString& host) { reportResult(m_control->setRemoteHost(host)); }

qint32 CFTPCtrl::RemotePort() const
{
    requireRunMode();
    return m_control->remotePort();
}

void CFTPCtrl::setRemotePort(qint32 port) { reportResult(m_control->setRemotePort(static_cast<quint16>(port))); }

void CFTPCtrl::setUser(const QString& user)
{
    requireSendable(user, UserLength);
    m_user = user;
}

void CFTPCtrl::setPassword(const QString& password)
{
    requireSendable(password, PasswordLength);
    m_password = password;
}

QString CFTPCtrl::RemotePath() { return GetRemotePath(); }

void CFTPCtrl::setRemotePath(const QString& path)
{
    requireSendable(path, PathLength);
    reportResult(SetRemotePath(path));
}

void CFTPCtrl::setLocalFile(const QString& path)
{
    if (path.size() > PathLength)
        platform::automation::raiseAutomationError(code::BadPropertyValue, text::BadPropertyValue);
    m_localFile = path;
}

void CFTPCtrl::setRemoteFile(const QString& path)
{
    requireSendable(path, PathLength);
    m_remoteFile = path;
}

void CFTPCtrl::setAltFile(const QString& path)
{
    requireSendable(path, PathLength);
    m_altFile = path;
}

void CFTPCtrl::setTransferMode(qint16 mode)
{
    if (mode < tm_Default || mode > tm_Binary)
        platform::automation::raiseAutomationError(code::BadPropertyValue, text::BadPropertyValue);
    reportResult(SetTransferMode(mode));
}

void CFTPCtrl::setAction(qint16 action)
{
    if (action < a_Idle || action > RawCommand)
        platform::automation::raiseAutomationError(code::BadPropertyValue, text::BadPropertyValue);
    reportResult(SetAction(action));
}

QString CFTPCtrl::LastReply() const
{
    requireRunMode();
    return m_encoding.decode(m_control->replyLine());
}

QString CFTPCtrl::Command() const
{
    platform::automation::raiseAutomationError(code::GetNotSupported, text::GetNotSupported);
}

void CFTPCtrl::setCommand(const QString& command)
{
    if (command.isNull())
        return;
    // An empty command would send nothing and wait for a reply that never comes.
    if (command.isEmpty())
        platform::automation::raiseAutomationError(code::BadPropertyValue, text::BadPropertyValue);
    requireSendable(command, static_cast<int>(command.size()));
    if (m_action != a_Idle) {
        m_control->setMessage(text::Busy);
        reportResult(code::Busy);
    }
    m_command = command;
    reportResult(SetAction(RawCommand));
}

qint32 CFTPCtrl::SocketHandle() const
{
    requireRunMode();
    return m_control->hasSocket() ? static_cast<qint32>(m_control->socket()) : -1;
}

qint32 CFTPCtrl::StartByte() const
{
    requireRunMode();
    return m_startByte;
}

void CFTPCtrl::setStartByte(qint32 position)
{
    if (position < 0)
        platform::automation::raiseAutomationError(code::BadPropertyValue, text::BadPropertyValue);
    m_startByte = position;
}

// Saved properties.

void CFTPCtrl::WriteProperties(PropertyBag& bag) const
{
    bag.write(QStringLiteral("_Version"), kPersistedVersion);
    bag.write(QStringLiteral("WinsockLoaded"), WinsockLoaded(), false);
    const QList<std::pair<QString, QString>> texts {
        {QStringLiteral("RemoteHost"), m_control->remoteHostText()},
        {QStringLiteral("User"), m_user},
        {QStringLiteral("Password"), m_password},
        {QStringLiteral("RemotePath"), m_remotePath},
        {QStringLiteral("LocalFile"), m_localFile},
        {QStringLiteral("RemoteFile"), m_remoteFile},
        {QStringLiteral("AltFile"), m_altFile},
    };
    for (const auto& [name, value] : texts)
        bag.write(name, value, QString());
    bag.write(QStringLiteral("TransferMode"), m_transferMode, qint16(0));
    bag.write(QStringLiteral("Passive"), m_passive, false);
}

void CFTPCtrl::ReadProperties(const PropertyBag& bag)
{
    setWinsockLoaded(bag.read(QStringLiteral("WinsockLoaded"), false).toBool());
    setRemoteHost(bag.read(QStringLiteral("RemoteHost"), QString()).toString());
    setUser(bag.read(QStringLiteral("User"), QString()).toString());
    setPassword(bag.read(QStringLiteral("Password"), QString()).toString());
    setRemotePath(bag.read(QStringLiteral("RemotePath"), QString()).toString());
    setLocalFile(bag.read(QStringLiteral("LocalFile"), QString()).toString());
    setRemoteFile(bag.read(QStringLiteral("RemoteFile"), QString()).toString());
    setAltFile(bag.read(QStringLiteral("AltFile"), QString()).toString());
    setTransferMode(static_cast<qint16>(bag.read(QStringLiteral("TransferMode"), qint16(0)).toDouble()));
    setPassive(bag.read(QStringLiteral("Passive"), false).toBool());
}

// Events. Their arguments go by reference; nothing reads a changed value back.

void CFTPCtrl::fireError(int code, const QString& description)
{
    qint16 errorCode = static_cast<qint16>(code);
    QString text = description;
    Q_EMIT Error(errorCode, text);
}

void CFTPCtrl::firePITrail(int direction, const QString& message)
{
    qint16 value = static_cast<qint16>(direction);
    QString text = message;
    Q_EMIT PITrail(value, text);
}

void CFTPCtrl::fireTransfer(qint64 count, const QString& text)
{
    qint32 bytes = static_cast<qint32>(static_cast<quint32>(count));
    QString piece = text;
    Q_EMIT Transfer(bytes, piece);
}

void CFTPCtrl::fireDirList(const QString& entry)
{
    QString text = entry;
    Q_EMIT DirList(text);
}

// Notifications of the control connection.

void CFTPCtrl::reportConnected(int code)
{
    if (code == 0) {
        firePITrail(2, QStringLiteral("Connected."));
        return;
    }
    fireError(code::ConnectionFailed, failureText("Failed to connect:  ", code, 80));
}

void CFTPCtrl::reportDisconnected(int code)
{
    if (code == 0)
        firePITrail(2, QStringLiteral("Disconnected."));
    else
        fireError(code::ConnectionFailed, failureText("Disconnected:  ", code, 85));
}

} // namespace kelvane::ftp
