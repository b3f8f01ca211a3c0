#include "https/CurlTransfer.h"

#include "https/BodyLength.h"
#include "https/CertificatePolicy.h"
#include "https/HeaderLine.h"
#include "https/HttpUrl.h"
#include "https/ResultCodes.h"
#include "platform/TextEncoding.h"

#include <curl/curl.h>
#include <openssl/ssl.h>

namespace kelvane::plexant {

namespace {

// What the library reads at once.
constexpr long kReadSize = 256 * 1024;
// What is gathered for one Transfer event: a secure connection yields a record (16 KiB)
// per read, too little to be worth an event each.
constexpr qsizetype kBlockSize = 64 * 1024;

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

// The transport's security flag that ignores unknown authorities.
constexpr quint32 kIgnoreUnknownAuthority = CertificatePolicy::IgnoreUnknownAuthority;

void freeShare(void* share) { curl_share_cleanup(static_cast<CURLSH*>(share)); }

QByteArray statusText(const QByteArray& statusLine)
{
    const qsizetype blank = statusLine.indexOf(' ');
    return blank < 0 ? QByteArray() : statusLine.mid(blank + 1);
}

// Where an SSL context of a hop keeps its transfer, for the client-certificate callback.
int transferIndex()
{
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

} // namespace

// The library's handles of one request, released when it ends.
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

SendOptions SendOptions::initial(quint32 sslSecurityFlags, quint32 securityFlags)
{
    return {securityFlags, (sslSecurityFlags & kOfferCertificate) != 0};
}

std::optional<SendOptions> SendOptions::retryAfter(int code, quint32 sslSecurityFlags) const
{
    SendOptions next = *this;
    if (code == kClientCertificateNeeded && (sslSecurityFlags & kOfferCertificateOnRequest) != 0)
        next.offerCertificate = true;
    else if (code == kInvalidAuthority && (sslSecurityFlags & kAcceptUnknownAuthority) != 0)
        next.securityFlags |= kIgnoreUnknownAuthority;
    if (next == *this)
        return std::nullopt;
    return next;
}

QByteArray CurlTransfer::Target::url() const
{
    return scheme.toLower() + "://" + server + ':' + QByteArray::number(port) + path;
}

bool CurlTransfer::Target::secure() const { return scheme.compare("https", Qt::CaseInsensitive) == 0; }

redirects::Origin CurlTransfer::Target::origin() const { return {scheme, server, port}; }

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

void CurlTransfer::fire(std::function<void(EngineEvents&)> event, qint64 weight)
{
    EngineEvents* events = &m_events;
    m_channel.post([events, event = std::move(event)] { event(*events); }, weight);
}

void CurlTransfer::status(const char* text)
{
    const QByteArray message(text);
    fire([message](EngineEvents& events) { events.sslStatus(message); });
}

void CurlTransfer::run(WorkerResult& result)
{
    QByteArray message;
    int code = perform(message);
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
    // The end is told after every event, so the control's wait ends when they have all run.
    WorkerResult* outcome = &result;
    if (!m_channel.post([outcome] { outcome->done = true; }))
        result.done = true;
}

int CurlTransfer::perform(QByteArray& message)
{
    const WorkerRequest& r = m_request;
    // The body: the post data, then the attached file.
    QByteArray body = r.postData;
    if ((r.verb == "POST" || r.verb == "PUT") && !r.attachedFile.isEmpty()) {
        QFile attached(platform::encoding::fromAnsi(r.attachedFile));
        if (!attached.open(QIODevice::ReadOnly)) {
            message = "Can't open attached file for reading.";
            return code::FileFailed;
        }
        body += attached.readAll();
        if (attached.error() != QFileDevice::NoError)
            return code::ReadFailed;
    }

    Target target {r.scheme, r.server, r.port, r.path};
    const redirects::Origin first = target.origin();
    bool wentSecure = false;
    for (int hops = 0;; ++hops) {
        // The caller's credentials are for the first origin, and never go out in clear after TLS.
        const bool credentials = redirects::hop(first, wentSecure, target.origin(), target.secure()).credentials;
        wentSecure = wentSecure || target.secure();
        const int result = sendWithRetries(target, credentials, body, message);
        if (result != code::Ok || !m_redirect)
            return result;
        if (hops >= redirects::kMaxRedirects) {
            message = statusText(m_statusLine);
            return code::ServerStatus;
        }
        QByteArray problem;
        const auto next = HttpUrl::parse(*m_redirect, target.scheme, target.port, problem);
        if (!next || next->server.isEmpty()) {
            message.clear();
            return kRedirectFailed;
        }
        if (next->scheme.compare("http", Qt::CaseInsensitive) != 0 && next->scheme.compare("https", Qt::CaseInsensitive) != 0) {
            message = "Specified URLScheme is invalid.";
            return code::InvalidUrl;
        }
        status("An HTTP request is about to automatically redirect the request to");
        target = {next->scheme, next->server, next->port, next->path.isEmpty() ? QByteArray("/") : next->path};
    }
}

int CurlTransfer::sendWithRetries(const Target& target, bool credentials, const QByteArray& body, QByteArray& message)
{
    SendOptions options = SendOptions::initial(m_request.sslSecurityFlags, m_request.securityFlags);
    for (;;) {
        const int result = send(target, options, credentials, body, message);
        const auto retry = result == code::Ok ? std::nullopt : options.retryAfter(result, m_request.sslSecurityFlags);
        if (!retry)
            return result;
        options = *retry;
    }
}

void CurlTransfer::configure(Handles& handles, const Target& target, bool credentials, const QByteArray& body)
{
    CURL* easy = handles.easy;
    const WorkerRequest& r = m_request;
    const QByteArray url = target.url();
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, handles.errorText);
    // Redirects are followed here, hop by hop, by the control's own rules.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReadSize);
    if (!r.userAgent.isEmpty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, r.userAgent.constData());
    if (r.httpVersion.compare("HTTP/1.0", Qt::CaseInsensitive) == 0)
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    else
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));

    // Proxy: none, the system's ("*user*password"), or a named one. A tunnel's own reply
    // is not the server's.
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (r.proxyServer.startsWith('*')) {
        const QByteArray proxyCredentials = r.proxyServer.mid(1);
        const qsizetype star = proxyCredentials.indexOf('*');
        const QByteArray proxyUser = star < 0 ? proxyCredentials : proxyCredentials.left(star);
        const QByteArray proxyPassword = star < 0 ? QByteArray() : proxyCredentials.mid(star + 1);
        if (!proxyUser.isEmpty())
            curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxyUser.constData());
        if (!proxyPassword.isEmpty())
            curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
    } else {
        const QByteArray proxy = r.proxyServer.isEmpty() ? QByteArray() : r.proxyServer + ':' + QByteArray::number(r.proxyPort);
        curl_easy_setopt(easy, CURLOPT_PROXY, proxy.constData());
    }
    if (credentials && (!r.user.isEmpty() || !r.password.isEmpty())) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, r.user.constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, r.password.constData());
    }
    // The library's cookies go by its own rules of domain and path.
    if (r.cookies && r.cookieStore) {
        curl_easy_setopt(easy, CURLOPT_SHARE, static_cast<CURLSH*>(r.cookieStore.get()));
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    }
    if (!r.referer.isEmpty())
        curl_easy_setopt(easy, CURLOPT_REFERER, r.referer.constData());

    // Headers: only those asked for, then the other headers, which add or replace. Every
    // request asks for a fresh copy, past any cache on the way, unless it says otherwise.
    handles.addHeader(r.accept.isEmpty() ? QByteArray("Accept:") : "Accept: " + r.accept);
    handles.addHeader(r.contentType.isEmpty() ? QByteArray("Content-Type:") : "Content-Type: " + r.contentType);
    handles.addHeader("Expect:");
    if (!r.from.isEmpty())
        handles.addHeader("From: " + r.from);
    if (!r.ifModifiedSince.isEmpty())
        handles.addHeader("If-Modified-Since: " + r.ifModifiedSince);
    handles.addHeader("Pragma: " + (r.pragma.isEmpty() ? QByteArray("no-cache") : r.pragma));
    const QByteArray otherHeaders = credentials ? r.otherHeaders : redirects::withoutCredentialLines(r.otherHeaders);
    for (const QByteArray& line : otherHeaders.split('\n')) {
        const QByteArray header = line.trimmed();
        if (!header.isEmpty())
            handles.addHeader(header);
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, handles.headers);

    if (r.verb == "POST" || r.verb == "PUT") {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body.constData());
        if (r.verb == "PUT")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "PUT");
    } else if (r.verb == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    }

    if (target.secure()) {
        // The chain and this hop's host name are checked by the control's policy with the
        // transport's flags.
        const bool checkName = (m_options.securityFlags & CertificatePolicy::IgnoreName) == 0;
        handles.policy = std::make_unique<CertificatePolicy>(m_options.securityFlags, checkName ? target.server : QByteArray(), true);
        m_policy = handles.policy.get();
        // The control's trust alone (the policy's store), not the library's own set besides.
        curl_easy_setopt(easy, CURLOPT_CAINFO, nullptr);
        curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, this);
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, +[](CURL*, void* context, void* self) -> CURLcode {
            auto* transfer = static_cast<CurlTransfer*>(self);
            auto* ssl = static_cast<SSL_CTX*>(context);
            transfer->m_policy->install(ssl);
            SSL_CTX_set_ex_data(ssl, transferIndex(), transfer);
            SSL_CTX_set_client_cert_cb(ssl, &CurlTransfer::clientCertificateWanted);
            return CURLE_OK;
        });
    }

    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, +[](char* data, size_t size, size_t count, void* self) -> size_t {
        QByteArray line(data, qsizetype(size * count));
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        // A reply refused for its headers ends the transfer here.
        return static_cast<CurlTransfer*>(self)->headerLine(line) ? size * count : 0;
    });
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* self) -> size_t {
        return static_cast<CurlTransfer*>(self)->body(data, size * count) ? size * count : 0;
    });
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, +[](void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
        auto* transfer = static_cast<CurlTransfer*>(self);
        // What was gathered goes out whenever the library pauses to tell its progress.
        transfer->sendBlock();
        // An interrupt or a time-out of the control stops the transfer here.
        return transfer->m_channel.cancelled() ? 1 : 0;
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
}

int CurlTransfer::send(const Target& target, const SendOptions& options, bool credentials, const QByteArray& body,
                       QByteArray& message)
{
    Handles handles;
    if (!handles.easy)
        return kInternalError;
    m_target = target;
    m_options = options;
    m_policy = nullptr;
    m_certificateWanted = false;
    m_certificateGiven = false;
    m_statusLine.clear();
    m_headerLines.clear();
    m_redirect.reset();
    m_headersEnded = false;
    m_replyBroken = false;
    m_replyStarted = false;
    m_received = 0;
    configure(handles, target, credentials, body);

    status("Looking up the IP address");
    const CURLcode outcome = curl_easy_perform(handles.easy);
    m_policy = nullptr;
    // A followed redirect ends at its headers: its body was refused.
    if (m_redirect && (outcome == CURLE_OK || outcome == CURLE_WRITE_ERROR))
        return code::Ok;
    m_redirect.reset();
    // The library takes headers that the close cut off for a whole reply.
    if (outcome == CURLE_OK && !m_headersEnded) {
        message.clear();
        return kConnectionAborted;
    }
    sendBlock();
    if (m_replyStarted || outcome == CURLE_OK) {
        reportHeaders();
        closeLocalFile();
        fire([](EngineEvents& events) { events.endTransfer(1); });
        status("Closing the connection to the server.");
        status("Successfully closed the connection to the server.");
    }
    if (outcome == CURLE_OK)
        return code::Ok;

    message.clear();
    // A server that wanted a client certificate and went no further without one.
    if (m_certificateWanted && !m_certificateGiven && !m_replyStarted)
        return kClientCertificateNeeded;
    const quint32 verdict = handles.policy ? handles.policy->status() : 0;
    switch (outcome) {
    case CURLE_UNSUPPORTED_PROTOCOL: return kUnrecognizedScheme;
    case CURLE_URL_MALFORMAT: return kInvalidUrl;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return kNameNotResolved;
    case CURLE_COULDNT_CONNECT: return kCannotConnect;
    case CURLE_OPERATION_TIMEDOUT: return kTimeout;
    case CURLE_ABORTED_BY_CALLBACK: return kOperationCancelled;
    case CURLE_LOGIN_DENIED: return kLoginFailure;
    case CURLE_TOO_MANY_REDIRECTS: return kRedirectFailed;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY: return kInvalidServerResponse;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE: return kConnectionAborted;
    case CURLE_WRITE_ERROR:
        return m_replyBroken ? kInvalidServerResponse : m_bodyFailure != 0 ? m_bodyFailure : kInternalError;
    case CURLE_SSL_CERTPROBLEM: return kClientCertificateNeeded;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        return verdict == CertificatePolicy::NameMismatch                                      ? kInvalidName
            : verdict == CertificatePolicy::UntrustedRoot || verdict == CertificatePolicy::Chaining ? kInvalidAuthority
            : verdict == CertificatePolicy::Revoked                                            ? kRevokedCertificate
            : verdict != 0                                                                     ? kInvalidCertificate
                                                                                               : kSecureChannelError;
    default: return kInternalError;
    }
}

int CurlTransfer::clientCertificateWanted(SSL* connection, X509** certificate, EVP_PKEY** key)
{
    auto* transfer = static_cast<CurlTransfer*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(connection), transferIndex()));
    if (!transfer)
        return 0;
    transfer->m_certificateWanted = true;
    const auto& chosen = transfer->m_request.clientCertificate;
    if (!transfer->m_options.offerCertificate || !chosen || !chosen->key())
        return 0;
    X509_up_ref(chosen->x509());
    EVP_PKEY_up_ref(chosen->key());
    *certificate = chosen->x509();
    *key = chosen->key();
    transfer->m_certificateGiven = true;
    return 1;
}

bool CurlTransfer::headerLine(const QByteArray& line)
{
    if (line.startsWith("HTTP/")) {
        // A new reply: an interim one replaces what came before.
        if (!m_statusLine.isEmpty()) {
            status("Received an intermediate (100 level) status code message from the server.");
        } else {
            status("Successfully sent the information request to the server.");
            status("Waiting for the server to respond to the request.");
            status("Successfully received a response from the server.");
        }
        m_statusLine = line;
        m_headerLines.clear();
        const auto setStatusLine = m_setStatusLine;
        m_channel.post([setStatusLine, line] { setStatusLine(line); });
        return true;
    }
    if (!line.isEmpty())
        m_headerLines.append(line);
    else if (!m_statusLine.isEmpty() && !statusText(m_statusLine).startsWith('1'))
        return endOfHeaders();
    return true;
}

bool CurlTransfer::endOfHeaders()
{
    m_headersEnded = true;
    QByteArray location;
    BodyLength length;
    for (const QByteArray& line : std::as_const(m_headerLines)) {
        const HeaderLine header = HeaderLine::split(line);
        if (header.field.compare("Location", Qt::CaseInsensitive) == 0)
            location = header.value;
        length.header(header.field, header.value);
    }
    // Lengths that contradict each other leave the end of the body unknown.
    if (length.broken()) {
        m_replyBroken = true;
        return false;
    }
    const bool fetching = m_request.verb == "GET" || m_request.verb == "HEAD";
    if (!location.isEmpty()
        && redirects::followable(m_request.followRedirects, fetching, m_statusLine, m_target.scheme, m_target.url(), location)) {
        m_redirect = HttpUrl::resolve(m_target.url(), location);
        return true;
    }
    reportHeaders();
    return true;
}

void CurlTransfer::reportHeaders()
{
    if (m_replyStarted)
        return;
    m_replyStarted = true;
    for (const QByteArray& line : std::as_const(m_headerLines)) {
        const HeaderLine header = HeaderLine::split(line);
        fire([header](EngineEvents& events) { events.header(header.field, header.value); });
    }
    fire([](EngineEvents& events) { events.startTransfer(1); });
}

bool CurlTransfer::body(const char* data, size_t length)
{
    // A redirect that is followed has no use for its body.
    if (m_redirect)
        return false;
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
    if (m_localFile && m_localFile->write(data, qint64(length)) != qint64(length)) {
        closeLocalFile();
        m_localFileFailed = true;
        m_bodyFailure = code::WriteFailed;
        m_bodyMessage = "Error writing to LocalFile.";
    }
    m_received += qint64(length);
    if (m_block.isEmpty())
        m_block = m_channel.takeBlock();
    m_block.append(data, qsizetype(length));
    if (m_block.size() >= kBlockSize)
        sendBlock();
    return true;
}

void CurlTransfer::sendBlock()
{
    if (m_block.isEmpty())
        return;
    const qint64 received = m_received;
    const qint64 weight = m_block.size();
    WorkerChannel* channel = &m_channel;
    fire([block = std::exchange(m_block, QByteArray()), received, channel](EngineEvents& events) mutable {
        events.transfer(1, received, block);
        channel->giveBack(std::move(block));
    }, weight);
}

void CurlTransfer::closeLocalFile() { m_localFile.reset(); }

} // namespace kelvane::plexant
