#pragma once

#include <QString>

class QWidget;

namespace kelvane {

class AbstractProgressBar;
class ctlPelnet;

// The knowledge-server procedures a window carries, over the window's own way to the server
// (its own request, reply state and time limit) and the run's one session.
class AbstractWindowServer {
public:
    virtual ~AbstractWindowServer() = default;

    // Posts an XML-RPC request and gives the result of its reply; raises when the server
    // cannot be reached or does not answer in time.
    virtual QString PostXMLRPC(const QString& request) = 0;
    // A new session and the log-on; true when the log-on gave a result.
    virtual bool TavroConnect() = 0;
    // Logs off; true when the reply gave a result.
    virtual bool TavroDisconnect() = 0;
    // Writes the document `xml` to the server under its GUID and path; the reply's result.
    virtual QString ServerWrite(const QString& guid, const QString& xml, const QString& path, AbstractProgressBar* progress) = 0;
    // Opens the knowledge base `guid` in `diagram`, online from then on; false when the server
    // gave none.
    virtual bool ServerRead(ctlPelnet& diagram, const QString& guid, AbstractProgressBar* progress) = 0;
    // The server's folders in the browser over `parentForm` (the start dialog waits for it,
    // the main window does not); OK opens the choice in `diagram`.
    virtual void ServerConnect(ctlPelnet& diagram, QWidget* parentForm) = 0;
};

} // namespace kelvane
