#include "server/ServerLogon.h"

#include "diagram/AbstractParentForm.h"
#include "diagram/ctlPelnet.h"
#include "network/BusyPointer.h"
#include "platform/UiServices.h"
#include "server/ServerMessages.h"
#include "server/TavroSession.h"
#include "server/basXMLRPC.h"
#include "server/frmConnect.h"

#include <QApplication>

namespace kelvane {

ServerLogon::ServerLogon(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint)
    : m_session(std::move(session))
    , m_endpoint(endpoint)
    , m_transport(std::move(endpoint), ServerTransport::kStartDialogLimit)
{
}

QString ServerLogon::PostXMLRPC(const QString& request)
{
    return basXMLRPC::ParseTavroResponse(*m_session, m_transport.Post(request));
}

bool ServerLogon::TavroConnect()
{
    // A request of this window is still waiting for its reply (this call came from an event
    // its wait let run): a new client GUID now would make that session's keys fail.
    if (m_transport.Busy() || !m_session->CheckUserName())
        return false;
    m_session->NewClientGUID();
    try {
        PostXMLRPC(basXMLRPC::BuildTavroConnect(*m_session));
        return !PostXMLRPC(basXMLRPC::BuildTavroLogon(*m_session)).isEmpty();
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<ServerChoice> ServerLogon::ServerConnect(QWidget* parent)
{
    QString listing;
    try {
        listing = PostXMLRPC(basXMLRPC::BuildTavroRead(*m_session, QString(), QStringLiteral("false")));
    } catch (const std::exception&) {
        server::TellCannotConnect(); // the browser then shows the server alone
    }
    frmConnect browser(m_endpoint.URL ? m_endpoint.URL() : QString(), listing, parent);
    if (browser.exec() != QDialog::Accepted)
        return std::nullopt;
    return ServerChoice {browser.ChosenGUID(), browser.ChosenPath()};
}

bool ServerLogon::LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress)
{
    if (!m_connected)
        m_connected = TavroConnect();
    if (!m_connected)
        return false;
    if (const std::optional<ServerChoice> choice = ServerConnect(QApplication::activeWindow())) {
        OpenServerDocument(diagram, choice->GUID, progress);
        if (diagram.ParentForm)
            diagram.ParentForm->setCaption(choice->Path);
    }
    return true;
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
