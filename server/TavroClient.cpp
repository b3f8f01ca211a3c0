#include "server/TavroClient.h"

#include "server/TavroSession.h"

namespace kelvane {

TavroClient::TavroClient(const ServerEndpoint& endpoint, const QString& spoolFolder)
    : m_session(std::make_shared<TavroSession>())
    , m_diagram(std::make_shared<DiagramServerSession>(m_session, endpoint, spoolFolder))
    , m_logon(m_session, endpoint, m_diagram)
    , m_mainWindow(m_session, endpoint, m_diagram)
{
}

bool TavroClient::GoOnline(ctlPelnet& diagram, AbstractProgressBar* progress)
{
    return m_logon.LogOnAndChoose(diagram, progress);
}

} // namespace kelvane
