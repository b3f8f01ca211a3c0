#include "server/DiagramServerSession.h"

#include "model/AbstractProgressBar.h"
#include "platform/RuntimeError.h"
#include "platform/UiServices.h"
#include "server/ServerMessages.h"
#include "server/TavroSession.h"
#include "server/basXMLSOAP.h"

namespace kelvane {

DiagramServerSession::DiagramServerSession(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint,
                                           QString spoolFolder)
    : m_session(std::move(session))
    , m_transport(std::move(endpoint), ServerTransport::kDiagramLimit)
    , m_spool(std::move(spoolFolder))
{
}

QString DiagramServerSession::exchange(const QString& request, AbstractProgressBar* progress)
{
    QString reply;
    try {
        reply = m_transport.Post(request, progress);
    } catch (const std::exception&) {
        server::TellCannotConnect(toRuntimeError(std::current_exception()).Description());
        return {};
    }
    return basXMLSOAP::ParseSoapResponse(*m_session, reply);
}

QString DiagramServerSession::ServerRead(const QString& strGUID, AbstractProgressBar* progress)
{
    return exchange(basXMLSOAP::BuildSoapGetFileObject(m_session->SessionKey(), strGUID, QStringLiteral("False")), progress);
}

QString DiagramServerSession::ServerWrite(const QString& strGUID, const QString& strXML, AbstractProgressBar* progress)
{
    QString document = strXML;
    return exchange(basXMLSOAP::BuildSoapPutFileObject(m_session->SessionKey(), strGUID, document, QStringLiteral("false")),
                    progress);
}

void DiagramServerSession::ServerUpdate(const QString& strGUID, const QString& strXML, AbstractProgressBar* progress)
{
    QString document = strXML;
    try {
        m_spool.Spool(basXMLSOAP::BuildSoapPutFileObject(m_session->SessionKey(), strGUID, document, QStringLiteral("False")));
    } catch (...) {
        // The edit stays in the document; the user learns that its record is missing.
        platform::ui().messageBox(QStringLiteral("The change could not be recorded: ")
                                      + toRuntimeError(std::current_exception()).Description(),
                                  platform::msgbox::Exclamation, platform::applicationTitle());
    }
    if (progress)
        progress->setValue(0);
}

} // namespace kelvane
