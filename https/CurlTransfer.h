#pragma once

#include "https/Certificate.h"
#include "https/EngineEvents.h"
#include "https/RedirectRules.h"
#include "https/WorkerChannel.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace kelvane::plexant {

class CertificatePolicy;

// What a transfer on the worker needs of the control, copied when the action starts.
struct WorkerRequest {
    QByteArray verb; // GET, POST, HEAD or PUT
    QByteArray scheme;
    QByteArray server;
    quint16 port = 0;
    QByteArray path;
    QByteArray user;
    QByteArray password;
    QByteArray httpVersion;
    QByteArray referer;
    QByteArray accept;
    QByteArray contentType;
    QByteArray from;
    QByteArray ifModifiedSince;
    QByteArray pragma;
    QByteArray otherHeaders;
    QByteArray userAgent;
    QByteArray proxyServer;
    quint16 proxyPort = 0;
    QByteArray postData;
    QByteArray attachedFile;
    QByteArray localFile;
    int followRedirects = redirects::Never;
    quint32 sslSecurityFlags = 0; // the control's SSLSecurityFlags
    quint32 securityFlags = 0;    // the transport's own (see WinInetTransport::securityFlags)
    std::shared_ptr<const Certificate> clientCertificate;
    bool cookies = true;
    std::shared_ptr<void> cookieStore;
};

// How a request goes out: the transport's security flags, and whether the selected client
// certificate is offered to a server that asks for one. After a refusal the request may
// be sent once more with other options.
struct SendOptions {
    // Bits of SSLSecurityFlags: offer the client certificate from the start; offer it when
    // a server refused to go on without one; accept unknown authorities.
    static constexpr quint32 kOfferCertificate = 0x40000000;
    static constexpr quint32 kOfferCertificateOnRequest = 0x04000000;
    static constexpr quint32 kAcceptUnknownAuthority = 0x10;

    quint32 securityFlags = 0;
    bool offerCertificate = false;

    // The first options for a request.
    static SendOptions initial(quint32 sslSecurityFlags, quint32 securityFlags);
    // The options to send again with after the failure `code`, or nothing: 12044 (a client
    // certificate was wanted) offers the certificate, 12045 (unknown authority) ignores
    // unknown authorities, each when the control's flags allow it and once.
    std::optional<SendOptions> retryAfter(int code, quint32 sslSecurityFlags) const;

    bool operator==(const SendOptions&) const = default;
};

// The outcome, filled by the worker; `done` is set last, on the control's thread after the
// worker's last event (or by the worker once the channel is cancelled).
struct WorkerResult {
    int code = 0;
    QByteArray message;
    std::atomic<bool> done {false};
};

// One action through libcurl, run on the worker thread: a request per hop, redirects
// followed by the control's own rules, each hop's certificate checked against its own host
// with the control's trust and security flags. Events go to the control's thread through
// the channel; `setStatusLine` is called there too.
class CurlTransfer {
public:
    CurlTransfer(WorkerRequest request, WorkerChannel& channel, EngineEvents& events,
                 std::function<void(QByteArray)> setStatusLine);

    void run(WorkerResult& result);

    // A cookie store that transfers of one control share.
    static std::shared_ptr<void> newCookieStore();

private:
    struct Handles;
    friend struct Handles;
    // Where a hop goes.
    struct Target {
        QByteArray scheme;
        QByteArray server;
        quint16 port = 0;
        QByteArray path;
        QByteArray url() const;
        bool secure() const;
        redirects::Origin origin() const;
    };

    int perform(QByteArray& message);
    int sendWithRetries(const Target& target, bool credentials, const QByteArray& body, QByteArray& message);
    int send(const Target& target, const SendOptions& options, bool credentials, const QByteArray& body,
             QByteArray& message);
    void configure(Handles& handles, const Target& target, bool credentials, const QByteArray& body);
    void fire(std::function<void(EngineEvents&)> event, qint64 weight = 0);
    void status(const char* text);
    // False when the reply is refused for its headers.
    bool headerLine(const QByteArray& line);
    bool endOfHeaders();
    void reportHeaders();
    bool body(const char* data, size_t length);
    void sendBlock();
    void closeLocalFile();
    static int clientCertificateWanted(SSL* connection, X509** certificate, EVP_PKEY** key);

    WorkerRequest m_request;
    WorkerChannel& m_channel;
    EngineEvents& m_events;
    std::function<void(QByteArray)> m_setStatusLine;

    // The hop under way.
    Target m_target;
    SendOptions m_options;
    CertificatePolicy* m_policy = nullptr; // of a secure hop, while it runs
    bool m_certificateWanted = false;      // the server asked for a client certificate
    bool m_certificateGiven = false;       // and had one
    QByteArray m_statusLine;
    QList<QByteArray> m_headerLines; // of the reply under way
    std::optional<QByteArray> m_redirect; // where a followed redirect leads
    bool m_headersEnded = false;          // the final reply's blank line came
    bool m_replyBroken = false;           // refused for its headers
    bool m_replyStarted = false;

    qint64 m_received = 0;
    QByteArray m_block; // received, not yet sent to the control
    std::unique_ptr<QFile> m_localFile;
    bool m_localFileFailed = false;
    int m_bodyFailure = 0;
    QByteArray m_bodyMessage;
};

} // namespace kelvane::plexant
