#pragma once

#include "shell/AbstractWindowServer.h"

namespace kelvane {

class WindowServer;

// A window's knowledge-server procedures as the shell reaches them: those of the client's
// server object for that window.
class ProgramWindowServer : public AbstractWindowServer {
public:
    explicit ProgramWindowServer(WindowServer& server) : m_server(server) {}

    QString PostXMLRPC(const QString& request) override;
    bool TavroConnect() override;
    bool TavroDisconnect() override;
    QString ServerWrite(const QString& guid, const QString& xml, const QString& path, AbstractProgressBar* progress) override;
    bool ServerRead(ctlPelnet& diagram, const QString& guid, AbstractProgressBar* progress) override;
    void ServerConnect(ctlPelnet& diagram, QWidget* parentForm) override;

private:
    WindowServer& m_server;
};

} // namespace kelvane
