#pragma once

#include "https/Certificate.h"
#include "https/EngineEvents.h"
#include "https/WorkerChannel.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <atomic>
#include <functional>
#include <memory>

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
    quint32 securityFlags = 0; // the transport's own (see WinInetTransport::securityFlags)
    std::shared_ptr<const Certificate> clientCertificate;
    bool cookies = true;
    std::shared_ptr<void> cookieStore;
};

// The outcome, filled by the worker; `done` is set last.
struct WorkerResult {
    int code = 0;
    QByteArray message;
    std::atomic<bool> done {false};
};

// One exchange through libcurl, run on the worker thread. Events go to the control's thread
// through the channel; `setStatusLine` is called there too.
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

    int perform(Handles& handles, QByteArray& message);
    void fire(std::function<void(EngineEvents&)> event);
    void status(const char* text);
    void headerLine(const QByteArray& line);
    void reportHeaders();
    bool body(const char* data, size_t length);
    void closeLocalFile();

    WorkerRequest m_request;
    CertificatePolicy* m_policy = nullptr; // of a secure transfer, while it runs
    WorkerChannel& m_channel;
    EngineEvents& m_events;
    std::function<void(QByteArray)> m_setStatusLine;

    QByteArray m_statusLine;
    QList<QByteArray> m_headerLines; // of the last reply
    bool m_headersReported = false;
    bool m_replyStarted = false;
    qint64 m_received = 0;
    std::unique_ptr<QFile> m_localFile;
    bool m_localFileFailed = false;
    int m_bodyFailure = 0;
    QByteArray m_bodyMessage;
};

} // namespace kelvane::plexant
