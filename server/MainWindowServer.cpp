#include "server/MainWindowServer.h"

#include "diagram/ctlPelnet.h"
#include "server/TavroSession.h"
#include "server/basXMLRPC.h"
#include "server/basXMLSOAP.h"
#include "server/frmConnect.h"

#include <QPointer>

namespace kelvane {

MainWindowServer::MainWindowServer(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint,
                                   std::shared_ptr<DiagramServerSession> diagramSession)
    : WindowServer(std::move(session), std::move(endpoint), kTimeLimit, std::move(diagramSession))
{
}

bool MainWindowServer::TavroConnect()
{
    if (!MayStartSession())
        return false;
    m_session->NewClientGUID();
    try {
        // The Connect reply is a SOAP reply: read as one, its key opens the session that the
        // log-on then proves.
        basXMLSOAP::ParseSoapResponse(*m_session, m_transport.Post(basXMLSOAP::BuildSoapConnect(m_session->ClientGUID())));
        return !PostXMLRPC(basXMLRPC::BuildTavroLogon(*m_session)).isEmpty();
    } catch (const std::exception&) {
        return false;
    }
}

void MainWindowServer::ServerConnect(ctlPelnet& diagram, QWidget* parent)
{
    const QString listing = RootListing();
    auto* browser = new frmConnect(m_endpoint.URL ? m_endpoint.URL() : QString(), listing, parent);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    // The choice is opened once the browser has finished closing: opening runs the message
    // loop, which deletes the browser (it deletes itself on close) while it is still emitting.
    QObject::connect(browser, &QDialog::accepted, &m_browsersContext, [this, browser, target = QPointer<ctlPelnet>(&diagram)] {
        const auto open = [this, target, guid = browser->ChosenGUID(), path = browser->ChosenPath()] {
            if (target)
                OpenChoice(*target, guid, path, nullptr);
        };
        QMetaObject::invokeMethod(&m_browsersContext, open, Qt::QueuedConnection);
    });
    browser->show();
}

} // namespace kelvane
