#pragma once

#include "server/ServerTransport.h"

#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace kelvane {

class AbstractProgressBar;
class TavroSession;
class ctlPelnet;

// A knowledge base picked in the server's folder browser: its GUID and its path in the tree.
struct ServerChoice {
    QString GUID;
    QString Path;
};

// The start dialog's way online: the log-on with XML-RPC through the dialog's own transport
// (20-second limit), the server's folders in the browser, and the chosen knowledge base read
// into the main window's diagram control. Once logged on, the program stays logged on.
class ServerLogon {
public:
    ServerLogon(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint);

    // Logged on in this run.
    bool Connected() const { return m_connected; }

    // A new session: "tavro.connect" with a new client GUID, then "tavro.logon"; true when the
    // log-on gave a result. A server that cannot be reached or answers nothing gives false.
    bool TavroConnect();

    // Posts the request and gives the result of its reply; raises when the server cannot be
    // reached.
    QString PostXMLRPC(const QString& request);

    // Lists the server's root folder ("tavro.read" without a GUID) in the browser, shown
    // modally over `parent`; the knowledge base chosen with OK, or none.
    std::optional<ServerChoice> ServerConnect(QWidget* parent);

    // The whole road: logs on unless this run already did (false when that fails, and nothing
    // else happens), lets the user choose in the browser and opens the choice in `diagram`,
    // whose window takes the choice's path as its caption. True also when the browser was
    // cancelled.
    bool LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress);

    ServerTransport& Transport() { return m_transport; }

private:
    std::shared_ptr<TavroSession> m_session;
    ServerEndpoint m_endpoint;
    ServerTransport m_transport;
    bool m_connected = false;
};

// Opens the knowledge base `guid` from the server in the diagram control, which is online
// from then on, and draws it; the progress bar follows the reading (the host window's when
// none is given). False when the server gave no knowledge base.
bool OpenServerDocument(ctlPelnet& diagram, const QString& guid, AbstractProgressBar* progress = nullptr);

} // namespace kelvane
