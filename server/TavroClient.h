#pragma once

#include "server/DiagramServerSession.h"
#include "server/MainWindowServer.h"
#include "server/ServerLogon.h"

#include <memory>

namespace kelvane {

class TavroSession;

// The program's knowledge-server client: one session for the run, the start dialog's way to
// log on and choose, the main window's server procedures, and the diagram's session for
// reading documents and spooling edits, which each window hands its diagram control when it
// opens a document there.
class TavroClient {
public:
    // Requests go to the endpoint; the spool files of online edits to `spoolFolder`, a folder
    // of the user's alone.
    TavroClient(const ServerEndpoint& endpoint, const QString& spoolFolder);

    // The start dialog's Online road: ServerLogon::LogOnAndChoose.
    bool GoOnline(ctlPelnet& diagram, AbstractProgressBar* progress);

    TavroSession& Session() { return *m_session; }
    ServerLogon& Logon() { return m_logon; }
    MainWindowServer& MainWindow() { return m_mainWindow; }
    const std::shared_ptr<DiagramServerSession>& Diagram() const { return m_diagram; }

private:
    std::shared_ptr<TavroSession> m_session;
    std::shared_ptr<DiagramServerSession> m_diagram;
    ServerLogon m_logon;
    MainWindowServer m_mainWindow;
};

} // namespace kelvane
