#pragma once

#include "https/BodyLength.h"
#include "https/ChunkedBody.h"
#include "https/ConnectionEvents.h"
#include "https/CookieList.h"
#include "https/EngineEvents.h"
#include "https/RedirectRules.h"
#include "https/TlsLayer.h"

#include <QByteArray>
#include <QFile>
#include <memory>

namespace kelvane::plexant {

// The top of the engine stack: one HTTP/1.0 exchange per action over a connection of its
// own. The reply ends when the server closes the connection, when the length it announced
// or its last chunk has arrived, or with the TLS close_notify; a connection is closed when its exchange ends,
// whichever way, so none carries a second request. The engine builds the request from its
// properties, parses the reply into status line, headers, cookies and body, delivers the
// body to memory and to a local file, follows redirects when asked, and reports everything
// through the engine's events. Every operation answers a result code and leaves a failure's
// text as the socket engine's message.
class HttpEngine : public ConnectionEvents {
public:
    enum Action { Idle = 0, Get = 1, Post = 2, Head = 3, ResetHeaders = 4, Put = 5 };
    enum ProxySsl { Automatic = 0, Always = 1, Never = 2, Tunnel = 3 };
    enum Redirects { NeverFollow = 0, AlwaysFollow = 1, SameScheme = 2 };
    static constexpr int kMaxRedirects = redirects::kMaxRedirects;
    static constexpr int kFileBlock = 2048;
    // What the header lines of one reply may take in all.
    static constexpr qint64 kMaxHeaderBytes = 256 * 1024;

    // `defaultScheme` and `defaultPort`: what a URL without a scheme means.
    HttpEngine(EngineEvents& events, QByteArray defaultScheme, quint16 defaultPort);
    ~HttpEngine() override;

    TlsLayer& tls() { return m_tls; }
    const TlsLayer& tls() const { return m_tls; }
    SocketEngine& socket() { return m_tls.socket(); }
    const SocketEngine& socket() const { return m_tls.socket(); }

    // Runs an action to its end: 1 GET, 2 POST, 3 HEAD, 5 PUT, 4 resets the request
    // headers, 0 interrupts the running action.
    int RunAction(int action);
    int runningAction() const { return m_action; }
    // Sets URL and its parts; a new server forgets the credentials of the old one.
    int ParseUrl(const QByteArray& text);
    void ResetRequestHeaders();

    const QByteArray& URL() const { return m_url; }
    const QByteArray& URLScheme() const { return m_scheme; }
    const QByteArray& URLServer() const { return m_server; }
    const QByteArray& URLPath() const { return m_path; }
    quint16 URLPort() const { return m_port; }
    void setURLScheme(const QByteArray& scheme) { m_scheme = scheme; }
    void setURLServer(const QByteArray& server) { m_server = server; }
    void setURLPath(const QByteArray& path) { m_path = path; }
    void setURLPort(quint16 port) { m_port = port; }

    // Setting the user or password rebuilds the Basic authorization.
    const QByteArray& User() const { return m_user; }
    const QByteArray& Password() const { return m_password; }
    void setUser(const QByteArray& user);
    void setPassword(const QByteArray& password);
    QByteArray Authorization;
    const QByteArray& ProxyUser() const { return m_proxyUser; }
    const QByteArray& ProxyPassword() const { return m_proxyPassword; }
    void setProxyUser(const QByteArray& user);
    void setProxyPassword(const QByteArray& password);
    QByteArray ProxyAuthorization;

    QByteArray ProxyServer;
    quint16 ProxyPort = 80;
    int ProxySSL = Automatic;
    QByteArray Accept;
    QByteArray From;
    QByteArray UserAgent;
    QByteArray IfModifiedSince;
    QByteArray Referer;
    QByteArray Pragma;
    QByteArray HTTPVersion = "HTTP/1.0";
    QByteArray HTTPMethod; // kept only; the verb comes from the action
    QByteArray OtherHeaders;
    QByteArray ContentType;
    QByteArray PostData;
    QByteArray AttachedFile;
    QByteArray LocalFile;
    int FollowRedirects = NeverFollow;
    qint32 MaxTransferredData = 4096; // 0: no limit
    CookieList Cookies;

    const QByteArray& StatusLine() const { return m_statusLine; }
    const QByteArray& TransferredHeaders() const { return m_headers; }
    const QByteArray& TransferredData() const { return m_data; }
    void clearTransferredData() { m_data.clear(); }
    // The second transport reports the status line it received.
    void setStatusLine(const QByteArray& line) { m_statusLine = line; }
    void setRunningAction(int action) { m_action = action; }

    // The request block (request line and headers) for a method, as it is sent on the
    // current hop.
    QByteArray requestHead(const QByteArray& method) const;

    void onConnected(int code) override;
    void onDisconnected(int code) override;
    void onDataIn(const QByteArray& piece, bool complete) override;
    void onError(int code, const QByteArray& text) override;
    void onReadyToSend() override {}

private:
    // 3: the rest of the reply is not reported (a followed redirect's body, a reply that is
    // complete or given up); 4: the rest of a followed redirect's headers; 5: the headers of
    // an interim (1xx) reply, which the real one follows.
    enum ReplyState { FirstLine = 0, Headers = 1, Body = 2, Ignoring = 3, RedirectHeaders = 4, Interim = 5 };

    int exchange(int action);
    int prepareConnection();
    int connectAndWait();
    int sendAll(const QByteArray& bytes, const std::function<void(qint64)>& progress = {});
    int sendBody(QFile* attached);
    int waitForReply();
    void closeConnection(int code);
    int finish(int waitResult, bool& redirect);
    bool viaProxy() const { return !ProxyServer.isEmpty() && ProxySSL != Tunnel; }
    bool followable(const QByteArray& location) const;
    redirects::Origin origin() const { return {m_scheme, m_server, m_port}; }
    bool acceptHeaderPiece(const QByteArray& piece);
    void headerLine(const QByteArray& line);
    void endOfHeaders();
    void reportSetCookie(const QByteArray& value);
    void bodyChunk(const QByteArray& piece);
    void deliverBody(const QByteArray& chunk);
    void completeReply();
    void abandonReply(int code, const QByteArray& text);
    void closeLocalFile();
    int fail(int code, const QByteArray& text) { return socket().fail(code, text); }

    EngineEvents& m_events;
    TlsLayer m_tls;
    QByteArray m_defaultScheme;
    quint16 m_defaultPort;

    QByteArray m_url;
    QByteArray m_scheme;
    QByteArray m_server;
    QByteArray m_path = "/";
    quint16 m_port;
    QByteArray m_user;
    QByteArray m_password;
    QByteArray m_proxyUser;
    QByteArray m_proxyPassword;

    int m_action = Idle;
    QByteArray m_statusLine;
    QByteArray m_headers;
    QByteArray m_data;

    // The action under way: where it began, and whether it went over TLS.
    redirects::Origin m_firstOrigin;
    bool m_wentSecure = false;
    redirects::Hop m_hop;

    // The exchange under way.
    ReplyState m_state = FirstLine;
    QByteArray m_location;
    BodyLength m_bodyLength;
    ChunkedBody m_chunks;
    QByteArray m_decoded; // the body bytes of the last piece of chunks
    qint64 m_headerBytes = 0;
    qint64 m_received = 0;
    bool m_transferStarted = false;
    bool m_replyComplete = false;
    int m_replyFailure = 0;       // a reply given up, with its code
    std::unique_ptr<QFile> m_localFile;
    bool m_localFileFailed = false;
    int m_bodyFailure = 0;
    bool m_open = false;          // connected and not yet closed
    bool m_connectDone = false;   // the connect outcome arrived
    int m_connectCode = 0;
    int m_closeCode = 0;
};

} // namespace kelvane::plexant
