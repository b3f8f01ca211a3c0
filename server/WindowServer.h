#pragma once

#include "server/ServerTransport.h"

#include <QString>
#include <memory>

class QWidget;

namespace kelvane {

class AbstractProgressBar;
class DiagramServerSession;
class TavroSession;
class ctlPelnet;

// One window's procedures on the knowledge server, over the window's own transport (its
// request file, reply state and time limit) and the run's one session. The start dialog and
// the main window each have one; they differ in how a session is opened and how the browser
// is shown. A document read into a diagram control goes through the diagram's own session,
// which the control takes on from then on.
class WindowServer {
public:
    WindowServer(std::shared_ptr<TavroSession> session, ServerEndpoint endpoint, int timeLimitSeconds,
                 std::shared_ptr<DiagramServerSession> diagramSession = nullptr);
    virtual ~WindowServer();
    WindowServer(const WindowServer&) = delete;
    WindowServer& operator=(const WindowServer&) = delete;

    // Posts the request and gives the result of its reply (ParseTavroResponse); raises when
    // the server cannot be reached or does not answer in time.
    QString PostXMLRPC(const QString& request);

    // A new session and the log-on; true when the log-on gave a result. A server that cannot
    // be reached or answers nothing gives false.
    virtual bool TavroConnect() = 0;

    // "tavro.logoff"; true when the reply gave a result.
    bool TavroDisconnect();

    // "tavro.write" of the document `xml` under its GUID and path; the result of the reply. The
    // progress bar, when given, follows the reply and is set back to 0. A server that cannot
    // be reached is told to the user and gives an empty text.
    QString ServerWrite(const QString& guid, const QString& xml, const QString& path, AbstractProgressBar* progress);

    // The server's root folder in the browser over `parent`; the knowledge base chosen with
    // OK opens in `diagram`, whose window takes its path as caption.
    virtual void ServerConnect(ctlPelnet& diagram, QWidget* parent) = 0;

    // Opens the knowledge base `guid` in `diagram`, online from then on, and draws it; the
    // progress bar follows the reading. False when the server gave no knowledge base.
    bool ServerRead(ctlPelnet& diagram, const QString& guid, AbstractProgressBar* progress);

    ServerTransport& Transport() { return m_transport; }

protected:
    // The root folder's listing ("tavro.read" without a GUID); empty, after telling the user,
    // when the server cannot be reached.
    QString RootListing();
    // Opens the folder browser's choice in `diagram` and gives the diagram's window its path.
    void OpenChoice(ctlPelnet& diagram, const QString& guid, const QString& path, AbstractProgressBar* progress);
    // A log-on may start: none is waiting for its reply on this window (a new client GUID
    // would spoil its keys) and the user's name can go into the keys.
    bool MayStartSession();

    std::shared_ptr<TavroSession> m_session;
    ServerEndpoint m_endpoint;
    ServerTransport m_transport;

private:
    std::shared_ptr<DiagramServerSession> m_diagramSession;
};

// Opens the knowledge base `guid` from the server in the diagram control, which is online
// from then on, and draws it; the progress bar follows the reading (the host window's when
// none is given). False when the server gave no knowledge base.
bool OpenServerDocument(ctlPelnet& diagram, const QString& guid, AbstractProgressBar* progress = nullptr);

} // namespace kelvane
