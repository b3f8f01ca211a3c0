#include "https/CurlTransfer.h"

#include "https/CertificatePolicy.h"
#include "https/HeaderLine.h"
#include "https/ResultCodes.h"
#include "platform/TextEncoding.h"

#include <curl/curl.h>
#include <openssl/ssl.h>

namespace kelvane::plexant {

namespace {

constexpr size_t kBlock = 2000;

// Transport error numbers.
constexpr int kTimeout = 12002;
constexpr int kInternalError = 12004;
constexpr int kInvalidUrl = 12005;
constexpr int kUnrecognizedScheme = 12006;
constexpr int kNameNotResolved = 12007;
constexpr int kLoginFailure = 12015;
constexpr int kOperationCancelled = 12017;
constexpr int kCannotConnect = 12029;
constexpr int kConnectionAborted = 12030;
constexpr int kInvalidName = 12037;
constexpr int kClientCertificateNeeded = 12044;
constexpr int kInvalidAuthority = 12045;
constexpr int kInvalidServerResponse = 12152;
constexpr int kRedirectFailed = 12156;
constexpr int kSecureChannelError = 12157;
constexpr int kInvalidCertificate = 12169;
constexpr int kRevokedCertificate = 12170;

void freeShare(void* share) { curl_share_cleanup(static_cast<CURLSH*>(share)); }

QByteArray statusText(const QByteArray& statusLine)
{
    const qsizetype blank = statusLine.indexOf(' ');
    return blank < 0 ? QByteArray() : statusLine.mid(blank + 1);
}

} // namespace

// The library's handles of one transfer, released when it ends.
struct CurlTransfer::Handles {
    CURL* easy = curl_easy_init();
    curl_slist* headers = nullptr;
    std::unique_ptr<CertificatePolicy> policy;
    char errorText[CURL_ERROR_SIZE] = {};
    ~Handles()
    {
        curl_slist_free_all(headers);
        curl_easy_cleanup(easy);
    }
    void addHeader(const QByteArray& line) { headers = curl_slist_append(headers, line.constData()); }
};

std::shared_ptr<void> CurlTransfer::newCookieStore()
{
    CURLSH* share = curl_share_init();
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    return std::shared_ptr<void>(share, freeShare);
}

CurlTransfer::CurlTransfer(WorkerRequest request, WorkerChannel& channel, EngineEvents& events,
                           std::function<void(QByteArray)> setStatusLine)
    : m_request(std::move(request))
    , m_channel(channel)
    , m_events(events)
    , m_setStatusLine(std::move(setStatusLine))
{
}

void CurlTransfer::fire(std::function<void(EngineEvents&)> event)
{
    EngineEvents* events = &m_events;
    m_channel.send([events, event = std::move(event)] { event(*events); });
}

void CurlTransfer::status(const char* text)
{
    const QByteArray message(text);
    fire([message](EngineEvents& events) { events.sslStatus(message); });
}

void CurlTransfer::run(WorkerResult& result)
{
    QByteArray message;
    Handles handles;
    int code = handles.easy ? perform(handles, message) : kInternalError;
    closeLocalFile();
    if (code == code::Ok && m_bodyFailure != code::Ok) {
        code = m_bodyFailure;
        message = m_bodyMessage;
    }
    if (code == code::Ok && !m_statusLine.isEmpty() && !statusText(m_statusLine).startsWith('2')) {
        code = code::ServerStatus;
        message = statusText(m_statusLine);
    }
    result.code = code;
    result.message = message;
    result.done = true;
}

int CurlTransfer::perform(Handles& handles, QByteArray& message)
{
    CURL* easy = handles.easy;
    const WorkerRequest& r = m_request;
    const bool secure = r.scheme.compare("https", Qt::CaseInsensitive) == 0;
    const QByteArray url = r.scheme.toLower() + "://" + r.server + ':' + QByteArray::number(r.port) + r.path;
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, handles.errorText);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    if (!r.userAgent.isEmpty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, r.userAgent.constData());
    if (r.httpVersion.compare("HTTP/1.0", Qt::CaseInsensitive) == 0)
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    else
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));

    // Proxy: none, the system's ("*user*password"), or a named one.
    QByteArray proxy;
    QByteArray proxyUser;
    QByteArray proxyPassword;
    if (r.proxyServer.startsWith('*')) {
        const QByteArray credentials = r.proxyServer.mid(1);
        const qsizetype star = credentials.indexOf('*');
        proxyUser = star < 0 ? credentials : credentials.left(star);
        proxyPassword = star < 0 ? QByteArray() : credentials.mid(star + 1);
        if (!proxyUser.isEmpty())
            curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxyUser.constData());
        if (!proxyPassword.isEmpty())
            curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
    } else {
        if (!r.proxyServer.isEmpty())
            proxy = r.proxyServer + ':' + QByteArray::number(r.proxyPort);
        curl_easy_setopt(easy, CURLOPT_PROXY, proxy.constData());
    }
    if (!r.user.isEmpty() || !r.password.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, r.user.constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, r.password.constData());
    }
    if (r.cookies && r.cookieStore) {
        curl_easy_setopt(easy, CURLOPT_SHARE, static_cast<CURLSH*>(r.cookieStore.get()));
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    }
    if (!r.referer.isEmpty())
        curl_easy_setopt(easy, CURLOPT_REFERER, r.referer.constData());

    // Headers: only those asked for, then the other headers, which add or replace.
    handles.addHeader(r.accept.isEmpty() ? QByteArray("Accept:") : "Accept: " + r.accept);
    handles.addHeader(r.contentType.isEmpty() ? QByteArray("Content-Type:") : "Content-Type: " + r.contentType);
    handles.addHeader("Expect:");
    if (!r.from.isEmpty())
        handles.addHeader("From: " + r.from);
    if (!r.ifModifiedSince.isEmpty())
        handles.addHeader("If-Modified-Since: " + r.ifModifiedSince);
    if (!r.pragma.isEmpty())
        handles.addHeader("Pragma: " + r.pragma);
    for (const QByteArray& line : r.otherHeaders.split('\n')) {
        const QByteArray header = line.trimmed();
        if (!header.isEmpty())
            handles.addHeader(header);
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, handles.headers);

    // The body: the post data, then the attached file.
    QByteArray body = r.postData;
    if (r.verb == "POST" || r.verb == "PUT") {
        if (!r.attachedFile.isEmpty()) {
            QFile attached(platform::encoding::fromAnsi(r.attachedFile));
            if (!attached.open(QIODevice::ReadOnly)) {
                message = "Can't open attached file for reading.";
                return code::FileFailed;
            }
            const QByteArray content = attached.readAll();
            if (attached.error() != QFileDevice::NoError)
                return code::ReadFailed;
            body += content;
        }
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body.constData());
        if (r.verb == "PUT")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "PUT");
    } else if (r.verb == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    }

    if (secure) {
        // The chain and the name are checked by the control's policy with the transport's flags.
        const bool checkName = (r.securityFlags & CertificatePolicy::IgnoreName) == 0;
        handles.policy = std::make_unique<CertificatePolicy>(r.securityFlags, checkName ? r.server : QByteArray(), true);
        m_policy = handles.policy.get();
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, this);
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, +[](CURL*, void* context, void* self) -> CURLcode {
            auto* transfer = static_cast<CurlTransfer*>(self);
            auto* ssl = static_cast<SSL_CTX*>(context);
            transfer->m_policy->install(ssl);
            if (const auto& certificate = transfer->m_request.clientCertificate; certificate && certificate->key()) {
                SSL_CTX_use_certificate(ssl, certificate->x509());
                SSL_CTX_use_PrivateKey(ssl, certificate->key());
            }
            return CURLE_OK;
        });
    }

    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, +[](char* data, size_t size, size_t count, void* self) -> size_t {
        auto* transfer = static_cast<CurlTransfer*>(self);
        QByteArray line(data, qsizetype(size * count));
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        transfer->headerLine(line);
        return size * count;
    });
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* self) -> size_t {
        return static_cast<CurlTransfer*>(self)->body(data, size * count) ? size * count : 0;
    });
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &m_channel);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, +[](void* channel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
        // An interrupt or a time-out of the control stops the transfer here.
        return static_cast<WorkerChannel*>(channel)->cancelled() ? 1 : 0;
    });
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, +[](void* self, curlsocktype, curl_sockaddr* address) -> curl_socket_t {
        auto* transfer = static_cast<CurlTransfer*>(self);
        transfer->status("Successfully found the IP address");
        transfer->status("Connecting to the socket address");
        return ::socket(address->family, address->socktype, address->protocol);
    });
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, +[](void* self, char*, char*, int, int) -> int {
        auto* transfer = static_cast<CurlTransfer*>(self);
        transfer->status("Successfully connected to");
        transfer->status("Sending the information request to the server.");
        return CURL_PREREQFUNC_OK;
    });

    status("Looking up the IP address");
    const CURLcode outcome = curl_easy_perform(easy);
    if (m_replyStarted || outcome == CURLE_OK) {
        reportHeaders();
        closeLocalFile();
        fire([](EngineEvents& events) { events.endTransfer(1); });
        status("Closing the connection to the server.");
        status("Successfully closed the connection to the server.");
    }
    if (outcome == CURLE_OK)
        return code::Ok;

    int code = kInternalError;
    const quint32 verdict = handles.policy ? handles.policy->status() : 0;
    switch (outcome) {
    case CURLE_UNSUPPORTED_PROTOCOL: code = kUnrecognizedScheme; break;
    case CURLE_URL_MALFORMAT: code = kInvalidUrl; break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: code = kNameNotResolved; break;
    case CURLE_COULDNT_CONNECT: code = kCannotConnect; break;
    case CURLE_OPERATION_TIMEDOUT: code = kTimeout; break;
    case CURLE_ABORTED_BY_CALLBACK: code = kOperationCancelled; break;
    case CURLE_LOGIN_DENIED: code = kLoginFailure; break;
    case CURLE_TOO_MANY_REDIRECTS: code = kRedirectFailed; break;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY: code = kInvalidServerResponse; break;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE: code = kConnectionAborted; break;
    case CURLE_WRITE_ERROR: code = m_bodyFailure != 0 ? m_bodyFailure : kInternalError; break;
    case CURLE_SSL_CERTPROBLEM: code = kClientCertificateNeeded; break;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        code = verdict == CertificatePolicy::NameMismatch     ? kInvalidName
            : verdict == CertificatePolicy::UntrustedRoot || verdict == CertificatePolicy::Chaining ? kInvalidAuthority
            : verdict == CertificatePolicy::Revoked           ? kRevokedCertificate
            : verdict != 0                                    ? kInvalidCertificate
                                                              : kSecureChannelError;
        break;
    default: break;
    }
    message.clear();
    return code;
}

void CurlTransfer::headerLine(const QByteArray& line)
{
    if (line.startsWith("HTTP/")) {
        // A new reply: an interim one, or one after a redirect, replaces what came before.
        if (!m_statusLine.isEmpty()) {
            const QByteArray previous = statusText(m_statusLine);
            status(previous.startsWith('1') ? "Received an intermediate (100 level) status code message from the server."
                                            : "An HTTP request is about to automatically redirect the request to");
        } else {
            status("Successfully sent the information request to the server.");
            status("Waiting for the server to respond to the request.");
            status("Successfully received a response from the server.");
        }
        m_statusLine = line;
        m_headerLines.clear();
        const auto setStatusLine = m_setStatusLine;
        m_channel.send([setStatusLine, line] { setStatusLine(line); });
        return;
    }
    if (!line.isEmpty())
        m_headerLines.append(line);
}

void CurlTransfer::reportHeaders()
{
    if (m_headersReported)
        return;
    m_headersReported = true;
    for (const QByteArray& line : std::as_const(m_headerLines)) {
        const HeaderLine header = HeaderLine::split(line);
        fire([header](EngineEvents& events) { events.header(header.field, header.value); });
    }
    m_replyStarted = true;
    fire([](EngineEvents& events) { events.startTransfer(1); });
}

bool CurlTransfer::body(const char* data, size_t length)
{
    reportHeaders();
    if (!m_request.localFile.isEmpty() && !m_localFile && !m_localFileFailed) {
        auto file = std::make_unique<QFile>(platform::encoding::fromAnsi(m_request.localFile));
        if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_localFileFailed = true;
            m_bodyFailure = code::FileFailed;
            m_bodyMessage = "Can't open local file for writing.";
            return false;
        }
        m_localFile = std::move(file);
    }
    for (size_t offset = 0; offset < length; offset += kBlock) {
        const QByteArray block(data + offset, qsizetype(std::min(kBlock, length - offset)));
        if (m_localFile && m_localFile->write(block) != block.size()) {
            closeLocalFile();
            m_localFileFailed = true;
            m_bodyFailure = code::WriteFailed;
            m_bodyMessage = "Error writing to LocalFile";
        }
        m_received += block.size();
        const qint64 received = m_received;
        fire([block, received](EngineEvents& events) { events.transfer(1, received, block); });
    }
    return true;
}

void CurlTransfer::closeLocalFile() { m_localFile.reset(); }

} // namespace kelvane::plexant
