// The main window's knowledge-server procedures, over the window's own way to the server.

#include "shell/frmNavigate.h"

#include "model/ErrorTrap.h"
#include "shell/AbstractServerLogon.h"
#include "shell/AbstractWindowServer.h"

namespace kelvane {

namespace {

constexpr const char* kModule = "frmNavigate";

AbstractWindowServer* mainWindowServer() { return serverLogon().WindowServer(ServerWindow::MainWindow); }

} // namespace

QString frmNavigate::PostXMLRPC(const QString& request)
{
    return trapped(kModule, "PostXMLRPC", QString(), [&] {
        AbstractWindowServer* server = mainWindowServer();
        return server ? server->PostXMLRPC(request) : QString();
    });
}

bool frmNavigate::TavroConnect()
{
    return trapped(kModule, "TavroConnect", false, [&] {
        AbstractWindowServer* server = mainWindowServer();
        return server && server->TavroConnect();
    });
}

void frmNavigate::ServerConnect()
{
    trappedVoid(kModule, "ServerConnect", [&] {
        if (AbstractWindowServer* server = mainWindowServer())
            server->ServerConnect(*m_ctlPelnet1, this);
    });
}

bool frmNavigate::ServerRead(const QString& guid)
{
    return trapped(kModule, "ServerRead", false, [&] {
        AbstractWindowServer* server = mainWindowServer();
        return server && server->ServerRead(*m_ctlPelnet1, guid, ProgressBar1());
    });
}

QString frmNavigate::ServerWrite(const QString& guid, const QString& xml, const QString& path, AbstractProgressBar* progress)
{
    return trapped(kModule, "ServerWrite", QString(), [&] {
        AbstractWindowServer* server = mainWindowServer();
        return server ? server->ServerWrite(guid, xml, path, progress) : QString();
    });
}

bool frmNavigate::TavroDisconnect()
{
    return trapped(kModule, "TavroDisconnect", false, [&] {
        AbstractWindowServer* server = mainWindowServer();
        return server && server->TavroDisconnect();
    });
}

} // namespace kelvane
