#pragma once

#include "diagram/AbstractServerSession.h"
#include "server/ServerTransport.h"
#include "server/UpdateSpool.h"

#include <memory>

namespace kelvane {

class TavroSession;

// The diagram control's knowledge-server members: a document read with GetFileObject or
// written with PutFileObject through the diagram's own transport (100-second limit), and every
// online edit spooled as a PutFileObject request to the next spool file. A server that cannot
// be reached is told to the user once per request and gives an empty text; a spool file that
// cannot be written is told once per edit, which stays in the document.
class DiagramServerSession : public AbstractServerSession {
public:
    DiagramServerSession(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint, QString spoolFolder);

    QString ServerRead(const QString& strGUID, AbstractProgressBar* progress) override;
    QString ServerWrite(const QString& strGUID, const QString& strXML, AbstractProgressBar* progress) override;
    void ServerUpdate(const QString& strGUID, const QString& strXML, AbstractProgressBar* progress) override;

    ServerTransport& Transport() { return m_transport; }
    UpdateSpool& Spool() { return m_spool; }

private:
    QString exchange(const QString& request, AbstractProgressBar* progress);

    std::shared_ptr<TavroSession> m_session;
    ServerTransport m_transport;
    UpdateSpool m_spool;
};

} // namespace kelvane
