#include "ftp/WsockCtrl.h"

#include "ftp/FtpCodes.h"
#include "ftp/WsockConn.h"
#include "platform/automation/AutomationError.h"
#include "platform/sockets/SocketErrors.h"

namespace kelvane::ftp {

using namespace platform::sockets;

namespace {
constexpr int kMaxPathLength = 100;
constexpr int kSocketErrorOffset = 15001;
constexpr int kMaxSocketErrorText = 120;
constexpr int kGetNotSupportedAtDesignTime = 394;
} // namespace

SocketLayer& CWsockCtrl::socketLayer()
{
    // The socket layer is one per process, as the old platform's library was.
    static SocketLayer layer(kMaxPathLength);
    return layer;
}

CWsockCtrl::CWsockCtrl(QObject* parent)
    : QObject(parent)
    , m_window(std::make_unique<NotificationWindow>([this](const WindowMessage& message) { windowMessage(message); }))
{
}

CWsockCtrl::~CWsockCtrl() = default;

void CWsockCtrl::windowMessage(const WindowMessage& message) { NotificationWindow::defaultProcedure(message); }

void CWsockCtrl::destroyWindow() { m_window->destroy(); }

void CWsockCtrl::releaseSocketLayer()
{
    CWsockConn& connection = controlConnection();
    if (!connection.holdsSocketLayer)
        return;
    connection.holdsSocketLayer = false;
    socketLayer().unload();
}

QString CWsockCtrl::WinsockInfo() const { return socketLayer().startupRecord().description; }

QString CWsockCtrl::WinsockStatus() const { return socketLayer().startupRecord().systemStatus; }

QString CWsockCtrl::WinsockPath() const
{
    requireRunMode();
    return socketLayer().libraryPath();
}

void CWsockCtrl::setWinsockPath(const QString& path) { socketLayer().setLibraryPath(path); }

bool CWsockCtrl::WinsockLoaded() const { return controlConnection().holdsSocketLayer; }

void CWsockCtrl::setWinsockLoaded(bool loaded)
{
    CWsockConn& connection = controlConnection();
    if (loaded && !connection.holdsSocketLayer)
        connection.holdsSocketLayer = socketLayer().load();
    else if (!loaded)
        releaseSocketLayer();
}

qint32 CWsockCtrl::WinsockMaxSockets() const { return socketLayer().startupRecord().maxSockets; }

qint32 CWsockCtrl::WinsockMaxDatagramSize() const { return socketLayer().startupRecord().maxDatagramSize; }

QString CWsockCtrl::LocalHost() const { return controlConnection().localHostText(); }

void CWsockCtrl::refuseWrite(const QVariant&) const
{
    platform::automation::raiseAutomationError(code::SetNotSupported, text::SetNotSupported);
}

void CWsockCtrl::requireRunMode() const
{
    if (!m_userMode)
        platform::automation::raiseAutomationError(kGetNotSupportedAtDesignTime,
                                                   QStringLiteral("Property cannot be read at design time."));
}

int CWsockCtrl::pumpMessages(int waitMilliseconds, bool* idle)
{
    if (idle)
        *idle = false;
    if (m_interruptRequested || !windowExists())
        return 0;
    MessageQueue& queue = MessageQueue::current();
    const auto message = queue.nextMessage(waitMilliseconds);
    if (message)
        queue.dispatch(*message);
    else if (idle)
        *idle = true;
    return !m_interruptRequested && windowExists() ? 1 : 0;
}

void CWsockCtrl::interruptWait()
{
    m_interruptRequested = true;
    controlConnection().setMessage(text::Interrupted);
}

void CWsockCtrl::reportResult(int result) const
{
    using platform::automation::raiseAutomationError;
    if (result == 0)
        return;
    if (result == code::Interrupted)
        raiseAutomationError(code::Interrupted, text::Interrupted);
    if (result == code::OutOfMemory)
        raiseAutomationError(err::OutOfMemory, text::OutOfMemory);
    if (isSocketError(result)) {
        raiseAutomationError(result + kSocketErrorOffset, socketErrorSentence(result).left(kMaxSocketErrorText));
    }
    const QString& message = controlConnection().message();
    raiseAutomationError(result, message.isEmpty() ? err::describe(result) : message);
}

} // namespace kelvane::ftp
