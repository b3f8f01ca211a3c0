#include "server/ServerLogon.h"

#include "platform/RuntimeError.h"
#include "server/ServerMessages.h"
#include "server/TavroSession.h"
#include "server/basXMLRPC.h"
#include "server/frmConnect.h"

#include <QApplication>

namespace kelvane {

ServerLogon::ServerLogon(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint,
                         std::shared_ptr<DiagramServerSession> diagramSession)
    : WindowServer(std::move(session), std::move(endpoint), ServerTransport::kStartDialogLimit, std::move(diagramSession))
{
}

bool ServerLogon::TavroConnect()
{
    QString failure;
    return logOn(failure);
}

bool ServerLogon::logOn(QString& failure)
{
    if (!MayStartSession())
        return false;
    m_session->NewClientGUID();
    try {
        PostXMLRPC(basXMLRPC::BuildTavroConnect(*m_session));
        return !PostXMLRPC(basXMLRPC::BuildTavroLogon(*m_session)).isEmpty();
    } catch (const std::exception&) {
        failure = toRuntimeError(std::current_exception()).Description();
        return false;
    }
}

std::optional<ServerChoice> ServerLogon::ChooseInBrowser(QWidget* parent)
{
    const QString listing = RootListing();
    frmConnect browser(m_endpoint.URL ? m_endpoint.URL() : QString(), listing, parent);
    if (browser.exec() != QDialog::Accepted)
        return std::nullopt;
    return ServerChoice {browser.ChosenGUID(), browser.ChosenPath()};
}

void ServerLogon::ServerConnect(ctlPelnet& diagram, QWidget* parent)
{
    if (const std::optional<ServerChoice> choice = ChooseInBrowser(parent))
        OpenChoice(diagram, choice->GUID, choice->Path, nullptr);
}

bool ServerLogon::LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress)
{
    if (!m_connected) {
        QString failure;
        m_connected = logOn(failure);
        if (!m_connected) {
            server::TellCannotConnect(failure);
            return false;
        }
    }
    const std::optional<ServerChoice> choice = ChooseInBrowser(QApplication::activeWindow());
    if (!choice)
        return false;
    OpenChoice(diagram, choice->GUID, choice->Path, progress);
    return true;
}

} // namespace kelvane
