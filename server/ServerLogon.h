#pragma once

#include "server/WindowServer.h"

#include <QString>
#include <memory>
#include <optional>

namespace kelvane {

// A knowledge base picked in the server's folder browser: its GUID and its path in the tree.
struct ServerChoice {
    QString GUID;
    QString Path;
};

// The start dialog's way online: the log-on with XML-RPC through the dialog's own transport
// (20-second limit), the server's folders in the browser, shown modally, and the chosen
// knowledge base read into the main window's diagram control. Once logged on, the program
// stays logged on.
class ServerLogon : public WindowServer {
public:
    ServerLogon(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint,
                std::shared_ptr<DiagramServerSession> diagramSession = nullptr);

    // Logged on in this run.
    bool Connected() const { return m_connected; }

    // A new session: "tavro.connect" with a new client GUID, then "tavro.logon". Refused
    // while a request of this window waits for its reply.
    bool TavroConnect() override;

    // Lists the server's root folder ("tavro.read" without a GUID) in the browser, shown
    // modally over `parent`; the knowledge base chosen with OK, or none.
    std::optional<ServerChoice> ChooseInBrowser(QWidget* parent);

    // The browser as above; the choice opens in `diagram`.
    void ServerConnect(ctlPelnet& diagram, QWidget* parent) override;

    // The whole road: logs on unless this run already did (when that fails the user is told
    // why, and nothing else happens), lets the user choose in the browser and opens the choice
    // in `diagram` with `progress` following the reading; the diagram's window takes the
    // choice's path as its caption. True when a knowledge base was chosen; false when the
    // log-on failed or the browser was closed without a choice.
    bool LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress);

private:
    // TavroConnect; `failure` takes the reason when a request could not be made.
    bool logOn(QString& failure);

    bool m_connected = false;
};

} // namespace kelvane
