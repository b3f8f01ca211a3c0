#include "app/ProgramWindowServer.h"

#include "server/WindowServer.h"

namespace kelvane {

QString ProgramWindowServer::PostXMLRPC(const QString& request) { return m_server.PostXMLRPC(request); }

bool ProgramWindowServer::TavroConnect() { return m_server.TavroConnect(); }

bool ProgramWindowServer::TavroDisconnect() { return m_server.TavroDisconnect(); }

QString ProgramWindowServer::ServerWrite(const QString& guid, const QString& xml, const QString& path,
                                         AbstractProgressBar* progress)
{
    return m_server.ServerWrite(guid, xml, path, progress);
}

bool ProgramWindowServer::ServerRead(ctlPelnet& diagram, const QString& guid, AbstractProgressBar* progress)
{
    return m_server.ServerRead(diagram, guid, progress);
}

void ProgramWindowServer::ServerConnect(ctlPelnet& diagram, QWidget* parentForm) { m_server.ServerConnect(diagram, parentForm); }

} // namespace kelvane
