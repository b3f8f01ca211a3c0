#include "server/TavroClient.h"

#include "diagram/ctlPelnet.h"
#include "server/TavroSession.h"

namespace kelvane {

TavroClient::TavroClient(const ServerEndpoint& endpoint, const QString& spoolFolder)
    : m_session(std::make_shared<TavroSession>())
    , m_logon(m_session, endpoint)
    , m_diagram(std::make_shared<DiagramServerSession>(m_session, endpoint, spoolFolder))
{
}

bool TavroClient::GoOnline(ctlPelnet& diagram, AbstractProgressBar* progress)
{
    diagram.setServerSession(m_diagram);
    return m_logon.LogOnAndChoose(diagram, progress);
}

} // namespace kelvane
