#include "server/WindowServer.h"

#include "diagram/AbstractParentForm.h"
#include "diagram/ctlPelnet.h"
#include "model/AbstractProgressBar.h"
#include "network/BusyPointer.h"
#include "platform/RuntimeError.h"
#include "platform/UiServices.h"
#include "server/DiagramServerSession.h"
#include "server/ServerMessages.h"
#include "server/TavroSession.h"
#include "server/basXMLRPC.h"

namespace kelvane {

WindowServer::WindowServer(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint, int timeLimitSeconds,
                           std::shared_ptr<DiagramServerSession> diagramSession)
    : m_session(std::move(session))
    , m_endpoint(endpoint)
    , m_transport(std::move(endpoint), timeLimitSeconds)
    , m_diagramSession(std::move(diagramSession))
{
}

WindowServer::~WindowServer() = default;

QString WindowServer::PostXMLRPC(const QString& request)
{
    return basXMLRPC::ParseTavroResponse(*m_session, m_transport.Post(request));
}

bool WindowServer::MayStartSession() { return !m_transport.Busy() && m_session->CheckUserName(); }

bool WindowServer::TavroDisconnect()
{
    try {
        return !PostXMLRPC(basXMLRPC::BuildTavroLogoff(*m_session)).isEmpty();
    } catch (const std::exception&) {
        return false;
    }
}

QString WindowServer::ServerWrite(const QString& guid, const QString& xml, const QString& path, AbstractProgressBar* progress)
{
    const QString request = basXMLRPC::BuildTavroWrite(*m_session, guid, xml, QStringLiteral("false"), path);
    try {
        return basXMLRPC::ParseTavroResponse(*m_session, m_transport.Post(request, progress));
    } catch (const std::exception&) {
        server::TellCannotConnect(toRuntimeError(std::current_exception()).Description());
        return {};
    }
}

QString WindowServer::RootListing()
{
    try {
        return PostXMLRPC(basXMLRPC::BuildTavroRead(*m_session, QString(), QStringLiteral("false")));
    } catch (const std::exception&) {
        // The browser then shows the server alone.
        server::TellCannotConnect(toRuntimeError(std::current_exception()).Description());
        return {};
    }
}

bool WindowServer::ServerRead(ctlPelnet& diagram, const QString& guid, AbstractProgressBar* progress)
{
    if (m_diagramSession)
        diagram.setServerSession(m_diagramSession);
    return OpenServerDocument(diagram, guid, progress);
}

void WindowServer::OpenChoice(ctlPelnet& diagram, const QString& guid, const QString& path, AbstractProgressBar* progress)
{
    ServerRead(diagram, guid, progress);
    if (diagram.ParentForm)
        diagram.ParentForm->setCaption(path);
}

bool OpenServerDocument(ctlPelnet& diagram, const QString& guid, AbstractProgressBar* progress)
{
    const BusyPointer busy;
    if (!progress && diagram.ParentForm)
        progress = diagram.ParentForm->ProgressBar1();
    diagram.Connected = true;
    const bool opened = diagram.ServerConnect(guid, progress);
    platform::ui().yield();
    diagram.DrawNetwork();
    platform::ui().yield();
    return opened;
}

} // namespace kelvane
