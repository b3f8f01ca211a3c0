#pragma once

#include "server/WindowServer.h"

#include <QObject>

namespace kelvane {

// The main window's procedures on the knowledge server, over the window's own transport
// (the request file in the temporary folder, the diagram's 100-second limit). Its session
// opens with the SOAP Connect, then the XML-RPC log-on; its browser shows without waiting,
// so the window stays in use while the user looks through the server's folders.
class MainWindowServer : public WindowServer {
public:
    static constexpr int kTimeLimit = ServerTransport::kDiagramLimit;

    MainWindowServer(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint,
                     std::shared_ptr<DiagramServerSession> diagramSession = nullptr);

    // A new session: SOAP "Connect" with a new client GUID (its reply's key opens the
    // session), then "tavro.logon". Refused while a request of this window waits for its reply.
    bool TavroConnect() override;

    // The root folder in a browser over `parent`, shown without waiting; OK opens the choice
    // in `diagram` and gives its window the choice's path as caption.
    void ServerConnect(ctlPelnet& diagram, QWidget* parent) override;

private:
    // The context of the browsers' hand-over: a browser still open when this goes opens nothing.
    QObject m_browsersContext;
};

} // namespace kelvane
