#pragma once

#include "server/ServerEndpoint.h"
#include "server/TrustedCertificates.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kelvane {

class AbstractProgressBar;

namespace plexant {
class HTTPS;
}

// One window's way to the knowledge server: its own HTTPS control and reply state. A request
// is written to the transport's own request file "xmlrpc.txt", in a folder of its own inside
// the request folder (the control reads the file only once it has connected, which lets other
// windows' exchanges run), posted as that file to the server's address and the reply gathered
// from the control's events. The control gives
// up after the time limit, so a server that never answers cannot hold the program, and
// after a failed request the control is disconnected, so the next request opens a fresh
// connection to whatever address the settings name by then. A reply is held in memory up to
// kReplyLimit bytes. The control's verdict on the server's certificate stands, unless the
// certificate is one the user trusts for this server, directly or through the chain the server
// presented with it (ServerEndpoint::TrustedCertificates).
class ServerTransport {
public:
    // The time limits of the start dialog's and the diagram's requests, in seconds.
    static constexpr int kStartDialogLimit = 20;
    static constexpr int kDiagramLimit = 100;
    // The largest reply taken: far larger than any knowledge base.
    static constexpr qint64 kReplyLimit = qint64(256) << 20;

    ServerTransport(ServerEndpoint endpoint, int timeLimitSeconds);
    ~ServerTransport();
    ServerTransport(const ServerTransport&) = delete;
    ServerTransport& operator=(const ServerTransport&) = delete;

    // Posts the request and gives the reply's text (UTF-8 when its bytes are, else the ANSI
    // code page): all of it once the control reports the end of the reply, however long it
    // was announced to be. A progress bar, when given, follows the reply and is set back to
    // 0 afterwards. Raises the control's error when the server cannot be reached, does not
    // answer in time or its certificate is refused, OutOfMemory when the reply grows past the
    // reply limit, and InvalidProcedureCall when called again while a request of this
    // transport is under way.
    QString Post(const QString& request, AbstractProgressBar* progress = nullptr);

    // A request of this transport is under way (its events let the program's run meanwhile).
    bool Busy() const { return m_posting; }

    // The largest reply taken, in bytes (kReplyLimit unless changed).
    void setReplyLimit(qint64 bytes) { m_replyLimit = bytes; }

    // The request file; it is made by the first request (none before).
    QString RequestFile() const;
    plexant::HTTPS& HTTPS1() { return *m_HTTPS1; }

private:
    void HTTPS1_Header(const QString& field, const QString& value);
    void HTTPS1_Transfer(qint16 direction, qint32 bytesTransferred, const QString& text);
    void HTTPS1_SSLServerAuthentication(qint32 certHandle, bool& accept);
    // Drops the control's connection, whatever state the failed request left it in.
    void disconnect();

    ServerEndpoint m_endpoint;
    std::unique_ptr<QTemporaryDir> m_requestFolder; // this transport's own, made at the first request
    TrustedCertificates m_trusted;
    std::unique_ptr<plexant::HTTPS> m_HTTPS1;

    // The reply of the request under way.
    QByteArray m_reply;
    qint64 m_expectedLength = 0; // announced by "Content-Length"; 0: not announced
    qint64 m_replyLimit = kReplyLimit;
    bool m_replyTooLarge = false;
    AbstractProgressBar* m_progress = nullptr;
    QString m_host;
    bool m_posting = false;
};

} // namespace kelvane
