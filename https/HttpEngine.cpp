#include "https/HttpEngine.h"

#include "https/BasicAuthorization.h"
#include "https/HeaderLine.h"
#include "https/HttpUrl.h"
#include "https/ResultCodes.h"
#include "platform/TextEncoding.h"
#include "platform/sockets/SocketErrors.h"

#include <utility>

namespace kelvane::plexant {

namespace {

bool sameText(const QByteArray& a, const char* b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QByteArray withoutTrailingCr(const QByteArray& line) { return line.endsWith('\r') ? line.chopped(1) : line; }

// The status code and reason: the text after the first blank of the status line.
QByteArray statusText(const QByteArray& statusLine)
{
    const qsizetype blank = statusLine.indexOf(' ');
    return blank < 0 ? QByteArray() : statusLine.mid(blank + 1);
}

// Other headers end in exactly one line end.
QByteArray normalisedOtherHeaders(QByteArray headers)
{
    while (headers.endsWith("\r\n"))
        headers.chop(2);
    if (headers.endsWith('\n'))
        headers.chop(1);
    return headers + "\r\n";
}

QString localPath(const QByteArray& path) { return platform::encoding::fromAnsi(path); }

} // namespace

HttpEngine::HttpEngine(EngineEvents& events, QByteArray defaultScheme, quint16 defaultPort)
    : m_events(events)
    , m_tls(*this, events)
    , m_defaultScheme(std::move(defaultScheme))
    , m_defaultPort(defaultPort)
    , m_scheme(m_defaultScheme)
    , m_port(defaultPort)
{
}

HttpEngine::~HttpEngine() { closeLocalFile(); }

void HttpEngine::setUser(const QByteArray& user)
{
    m_user = user;
    Authorization = basicAuthorization(m_user, m_password);
}

void HttpEngine::setPassword(const QByteArray& password)
{
    m_password = password;
    Authorization = basicAuthorization(m_user, m_password);
}

void HttpEngine::setProxyUser(const QByteArray& user)
{
    m_proxyUser = user;
    ProxyAuthorization = basicAuthorization(m_proxyUser, m_proxyPassword);
}

void HttpEngine::setProxyPassword(const QByteArray& password)
{
    m_proxyPassword = password;
    ProxyAuthorization = basicAuthorization(m_proxyUser, m_proxyPassword);
}

int HttpEngine::ParseUrl(const QByteArray& text)
{
    QByteArray problem;
    const auto url = HttpUrl::parse(text, m_defaultScheme, m_defaultPort, problem);
    if (!url)
        return fail(code::InvalidUrl, problem);
    m_url = text;
    m_scheme = url->scheme;
    m_port = url->port;
    m_path = url->path;
    if (url->authority) {
        if (!m_server.isEmpty() && *url->authority != m_server) {
            m_user.clear();
            m_password.clear();
            Authorization.clear();
        }
        m_server = url->server;
        if (url->user) {
            m_password = url->password;
            setUser(*url->user);
        }
    }
    if (m_path.isEmpty())
        m_path = "/";
    return code::Ok;
}

void HttpEngine::ResetRequestHeaders()
{
    for (QByteArray* field : {&m_url, &m_server, &PostData, &ContentType, &m_user, &m_password, &Authorization,
                              &m_proxyUser, &m_proxyPassword, &ProxyAuthorization, &Accept, &From, &IfModifiedSince,
                              &Referer, &Pragma, &OtherHeaders, &m_statusLine, &AttachedFile, &LocalFile})
        field->clear();
    m_path.clear();
    Cookies.clear();
    m_scheme = m_defaultScheme;
    m_port = m_defaultPort;
}

int HttpEngine::RunAction(int action)
{
    if (m_action != Idle && action != Idle)
        return fail(code::Busy, "Busy performing current action.");
    SocketEngine& engine = socket();
    engine.armTimeout();
    engine.clearInterrupt();
    engine.clearMessage();
    m_statusLine.clear();
    m_location.clear();

    if (action == Idle) {
        if (m_action != Idle) {
            engine.requestInterrupt();
            m_state = Ignoring; // nothing more of the reply is reported
        }
        m_action = Idle;
        m_tls.disconnect(code::Ok);
        return code::Ok;
    }
    m_action = action;
    int result = code::Ok;
    switch (action) {
    case Get:
    case Head:
    case Post:
    case Put: result = exchange(action); break;
    case ResetHeaders:
        m_data.clear();
        ResetRequestHeaders();
        break;
    default: break;
    }
    // Notifications still queued for this exchange are delivered before it ends; the
    // time allowed for it is over.
    engine.disarmTimeout();
    for (int pass = 0; pass < 100; ++pass)
        engine.waitPass(0);
    if (engine.takeInterrupted())
        result = engine.fail(code::Interrupted);
    m_action = Idle;
    return result;
}

int HttpEngine::exchange(int action)
{
    m_firstOrigin = origin();
    m_wentSecure = false;
    for (int hops = 0;; ++hops) {
        const int prepared = prepareConnection();
        if (prepared != code::Ok)
            return prepared;
        const int connected = connectAndWait();
        if (connected != code::Ok)
            return connected;
        m_hop = redirects::hop(m_firstOrigin, m_wentSecure, origin(), m_tls.tls());
        m_wentSecure = m_wentSecure || m_tls.tls();

        QByteArray head = requestHead(action == Get ? "GET" : action == Head ? "HEAD" : action == Post ? "POST" : "PUT");
        std::unique_ptr<QFile> attached;
        if (action == Post || action == Put) {
            qint64 length = PostData.size();
            if (!ContentType.isEmpty())
                head += "Content-Type: " + ContentType + "\r\n";
            if (!AttachedFile.isEmpty()) {
                attached = std::make_unique<QFile>(localPath(AttachedFile));
                if (!attached->open(QIODevice::ReadOnly)) {
                    closeConnection(code::FileFailed);
                    return fail(code::FileFailed, "Can't open attached file for reading.");
                }
                length += attached->size();
            }
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        }
        int result = sendAll(head + "\r\n");
        if (result == code::Ok && (action == Post || action == Put) && (!PostData.isEmpty() || attached))
            result = sendBody(attached.get());
        if (result != code::Ok) {
            closeConnection(result);
            return result;
        }
        const int waited = waitForReply();
        closeConnection(waited != code::Ok ? waited : m_replyFailure);
        bool redirect = false;
        result = finish(waited, redirect);
        if (!redirect)
            return result;
        if (hops >= kMaxRedirects)
            return fail(code::ServerStatus, statusText(m_statusLine));
        const int parsed = ParseUrl(HttpUrl::resolve(m_url, m_location));
        if (parsed != code::Ok)
            return parsed;
        // The next hop starts afresh, as a new run of the same action.
        socket().armTimeout();
        socket().clearMessage();
        m_statusLine.clear();
        m_location.clear();
    }
}

int HttpEngine::prepareConnection()
{
    // One exchange per connection: whatever is left of an earlier one goes first.
    closeConnection(code::Ok);
    m_state = FirstLine;
    m_bodyLength.reset();
    m_headerBytes = 0;
    m_transferStarted = false;
    m_replyComplete = false;
    m_replyFailure = code::Ok;
    m_bodyFailure = code::Ok;
    m_localFileFailed = false;
    m_tls.setDelimiter("\n");
    if (m_server.isEmpty())
        return fail(code::NoServer, "No server specified in URL");
    // Parts set one by one are held to what a URL may hold, as a whole URL is.
    if (!HttpUrl::mayHold(m_scheme) || !HttpUrl::mayHold(m_server) || !HttpUrl::mayHold(m_path))
        return fail(code::InvalidUrl, HttpUrl::kForbiddenText);
    const bool viaTunnel = !ProxyServer.isEmpty() && ProxySSL == Tunnel;
    if (!viaProxy() && m_scheme.compare(m_defaultScheme, Qt::CaseInsensitive) != 0 && !sameText(m_scheme, "http"))
        return fail(code::InvalidUrl, "Specified URLScheme is invalid.");

    bool tlsOn = sameText(m_scheme, "https");
    FirewallNegotiator& firewall = socket().firewall();
    if (viaTunnel) {
        firewall.setType(FirewallNegotiator::Tunnel);
        const int result = firewall.setHost(ProxyServer);
        if (result != code::Ok)
            return result;
        firewall.setPort(ProxyPort);
    } else if (viaProxy()) {
        tlsOn = ProxySSL == Always ? true : ProxySSL == Never ? false : tlsOn;
    }
    m_tls.setTls(tlsOn);
    const int hostResult = socket().setRemoteHost(viaProxy() ? ProxyServer : m_server);
    if (hostResult != code::Ok)
        return hostResult;
    return socket().setRemotePort(viaProxy() ? ProxyPort : m_port);
}

QByteArray HttpEngine::requestHead(const QByteArray& method) const
{
    QByteArray head = method + ' ';
    if (viaProxy()) {
        head += m_scheme + "://" + m_server;
        // The default port of https goes without saying; every other port is written.
        if (!(m_port == 443 && sameText(m_scheme, "https")))
            head += ':' + QByteArray::number(m_port);
    }
    head += m_path + ' ' + HTTPVersion;
    const auto line = [&head](const char* name, const QByteArray& value) {
        if (!value.isEmpty())
            head += QByteArray("\r\n") + name + value;
    };
    if (!OtherHeaders.left(5).toLower().startsWith("host:"))
        line("Host: ", m_server);
    if (m_hop.credentials)
        line("Authorization: ", Authorization);
    // Proxy credentials go to a proxy only, never through a tunnel to the server.
    if (viaProxy())
        line("Proxy-Authorization: ", ProxyAuthorization);
    line("Accept: ", Accept);
    line("From: ", From);
    line("User-Agent: ", UserAgent);
    line("If-Modified-Since: ", IfModifiedSince);
    line("Referer: ", Referer);
    line("Pragma: ", Pragma);
    if (m_hop.cookies)
        line("Cookie: ", Cookies.headerValue());
    head += "\r\n";
    const QByteArray other = m_hop.credentials ? OtherHeaders : redirects::withoutCredentialLines(OtherHeaders);
    if (!other.isEmpty())
        head += normalisedOtherHeaders(other);
    return head;
}

int HttpEngine::connectAndWait()
{
    m_connectDone = false;
    m_connectCode = code::Ok;
    m_closeCode = code::Ok;
    const int started = m_tls.connect();
    if (started != code::Ok)
        return started;
    const int waited = socket().waitWhile([this] { return !m_connectDone; });
    if (waited != code::Ok) {
        m_tls.disconnect(waited);
        return socket().fail(waited);
    }
    if (m_connectCode != code::Ok) {
        m_tls.disconnect(m_connectCode);
        return socket().fail(m_connectCode);
    }
    return code::Ok;
}

int HttpEngine::sendAll(const QByteArray& bytes, const std::function<void(qint64)>& progress)
{
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        int sent = 0;
        const int result = m_tls.send(bytes.constData() + offset, int(bytes.size() - offset), sent);
        offset += sent;
        if (progress && sent > 0)
            progress(sent);
        if (result == code::Ok)
            continue;
        if (result != platform::sockets::error::WouldBlock)
            return result;
        if (!socket().waitPass(10))
            return socket().fail(code::Interrupted);
    }
    return code::Ok;
}

int HttpEngine::sendBody(QFile* attached)
{
    m_events.startTransfer(0);
    int result = sendAll(PostData);
    qint64 fileSent = 0;
    const auto progress = [&](qint64 sent) {
        fileSent += sent;
        m_events.transfer(0, fileSent, {});
    };
    while (result == code::Ok && attached && !attached->atEnd()) {
        const QByteArray block = attached->read(kFileBlock);
        if (block.isEmpty() && attached->error() != QFileDevice::NoError)
            return fail(code::ReadFailed, "Can't read attached file.");
        result = sendAll(block, progress);
    }
    if (result == code::Ok)
        m_events.endTransfer(0);
    return result;
}

int HttpEngine::waitForReply()
{
    return socket().waitWhile([this] { return m_open && !m_replyComplete && m_replyFailure == code::Ok; });
}

void HttpEngine::closeConnection(int code)
{
    // After a failure nothing more of the reply is read or reported.
    if (code != code::Ok)
        m_state = Ignoring;
    if (socket().hasSocket())
        m_tls.disconnect(code);
}

bool HttpEngine::followable(const QByteArray& location) const
{
    return redirects::followable(FollowRedirects, m_action == Get || m_action == Head, m_statusLine, m_scheme, m_url,
                                 location);
}

int HttpEngine::finish(int waitResult, bool& redirect)
{
    redirect = false;
    if (waitResult == code::Interrupted)
        return socket().fail(waitResult);
    if (m_replyFailure != code::Ok)
        return m_replyFailure;
    // A connection that broke, or a body that could not be kept, fails the exchange.
    if (m_closeCode != code::Ok)
        return socket().fail(m_closeCode);
    // Headers without the blank line that ends them are a reply cut off, whatever they said.
    // So is an interim reply that the real one never followed.
    if (m_state == Headers || m_state == RedirectHeaders || m_state == Interim
        || (m_state == FirstLine && !m_statusLine.isEmpty()))
        return fail(code::Truncated, "The connection closed before the end of the reply's headers.");
    const auto expected = m_bodyLength.expected();
    if (m_state == Body && expected && m_received < *expected)
        return fail(code::Truncated, "The connection closed after " + QByteArray::number(m_received) + " of the "
                                         + QByteArray::number(*expected) + " bytes the server announced.");
    if (m_state == Body && m_bodyLength.chunked())
        return fail(code::Truncated, "The connection closed before the reply's last chunk.");
    if (m_bodyFailure != code::Ok)
        return m_bodyFailure;
    if (m_statusLine.isEmpty())
        return waitResult;
    const QByteArray status = statusText(m_statusLine);
    if (status.startsWith('2'))
        return waitResult;
    if (!m_location.isEmpty()) {
        redirect = true;
        return code::Ok;
    }
    return fail(code::ServerStatus, status);
}

void HttpEngine::onConnected(int code)
{
    m_connectDone = true;
    m_connectCode = code;
    m_open = code == code::Ok;
    if (code != code::Ok)
        socket().fail(code);
    m_events.connected(code, code == code::Ok ? QByteArray("OK") : socket().message());
}

void HttpEngine::onDisconnected(int code)
{
    const bool wasOpen = m_open;
    m_open = false;
    m_closeCode = code;
    if (!wasOpen)
        return;
    // The reply's transfer ends only where it started.
    if (std::exchange(m_transferStarted, false))
        m_events.endTransfer(1);
    closeLocalFile();
    QByteArray text = "OK";
    if (code != code::Ok && !platform::sockets::socketErrorText(code).isNull())
        text = platform::encoding::toAnsi(platform::sockets::describeSocketError(code));
    else if (code != code::Ok)
        text = socket().message();
    m_events.disconnected(code, text);
}

void HttpEngine::onError(int code, const QByteArray& text) { m_events.error(code, text); }

void HttpEngine::onDataIn(const QByteArray& piece, bool complete)
{
    switch (m_state) {
    case FirstLine:
        m_received = 0;
        m_statusLine.clear();
        m_headers.clear();
        m_data.clear();
        if (piece.startsWith('H')) {
            if (acceptHeaderPiece(piece)) {
                m_statusLine = withoutTrailingCr(piece);
                // An interim reply (100 Continue and the like) goes before the real one; one
                // that switches protocols is an answer of its own.
                const QByteArray status = statusText(m_statusLine).left(3);
                m_state = status.startsWith('1') && status != "101" ? Interim : Headers;
            }
            return;
        }
        // No status line: everything is body, as it came.
        m_state = Body;
        m_tls.setDelimiter({});
        bodyChunk(complete ? piece + '\n' : piece);
        return;
    case Headers: {
        if (!acceptHeaderPiece(piece))
            return;
        const QByteArray line = withoutTrailingCr(piece);
        if (line.isEmpty())
            endOfHeaders();
        else
            headerLine(line);
        return;
    }
    case Interim:
        // Nothing of an interim reply is reported; its blank line ends it.
        if (acceptHeaderPiece(piece) && withoutTrailingCr(piece).isEmpty())
            m_state = FirstLine;
        return;
    case RedirectHeaders:
        // The redirect is complete with its headers; its body is of no use.
        if (acceptHeaderPiece(piece) && withoutTrailingCr(piece).isEmpty())
            completeReply();
        return;
    case Body: bodyChunk(piece); return;
    case Ignoring: return;
    }
}

bool HttpEngine::acceptHeaderPiece(const QByteArray& piece)
{
    m_headerBytes += piece.size() + 1;
    if (m_headerBytes > kMaxHeaderBytes) {
        abandonReply(platform::sockets::error::NoBufferSpace, "Received headers are too long.");
        return false;
    }
    if (piece.contains('\0')) {
        abandonReply(code::BadReply, "The reply's headers hold a zero byte.");
        return false;
    }
    return true;
}

void HttpEngine::headerLine(const QByteArray& line)
{
    m_headers += line + "\r\n";
    const auto [field, value] = HeaderLine::split(line);
    // A Location is followed only where the reply is a redirect this engine may follow;
    // the rest of such a reply is not reported.
    if (sameText(field, "Location") && followable(value)) {
        m_location = value;
        m_state = RedirectHeaders;
        return;
    }
    m_bodyLength.header(field, value);
    m_events.header(field, value);
    if (sameText(field, "Set-Cookie"))
        reportSetCookie(value);
}

void HttpEngine::endOfHeaders()
{
    // These replies have no body, whatever their headers say.
    const QByteArray status = statusText(m_statusLine).left(3);
    if (m_action == Head || status == "204" || status == "304")
        m_bodyLength.setNoBody();
    if (m_bodyLength.broken()) {
        abandonReply(code::BadReply, "The reply's length cannot be told from its headers.");
        return;
    }
    m_chunks = ChunkedBody();
    m_state = Body;
    m_tls.setDelimiter({});
    m_transferStarted = true;
    m_events.startTransfer(1);
    if (m_state == Body && m_bodyLength.expected() == 0)
        completeReply();
}

void HttpEngine::reportSetCookie(const QByteArray& text)
{
    const qsizetype equals = text.indexOf('=');
    const QByteArray name = equals < 0 ? text : text.left(equals);
    qsizetype at = equals < 0 ? text.size() : equals + 1;
    qsizetype end = text.indexOf(';', at);
    const QByteArray value = text.mid(at, end < 0 ? -1 : end - at);
    QByteArray expires;
    QByteArray domain;
    QByteArray path;
    bool secure = false;
    while (end >= 0) {
        at = end + 1;
        if (at < text.size() && text.at(at) == ' ')
            ++at;
        end = text.indexOf(';', at);
        const QByteArray attribute = text.mid(at, end < 0 ? -1 : end - at);
        const qsizetype sign = attribute.indexOf('=');
        const QByteArray key = sign < 0 ? attribute : attribute.left(sign);
        const QByteArray attributeValue = sign < 0 ? QByteArray() : attribute.mid(sign + 1);
        if (sameText(key, "EXPIRES"))
            expires = attributeValue;
        else if (sameText(key, "DOMAIN"))
            domain = attributeValue;
        else if (sameText(key, "PATH"))
            path = attributeValue;
        else if (sameText(key.trimmed(), "SECURE"))
            secure = true;
    }
    m_events.setCookie(name, value, expires, domain, path, secure);
}

void HttpEngine::bodyChunk(const QByteArray& piece)
{
    if (m_bodyLength.chunked()) {
        m_decoded.resize(0);
        const ChunkedBody::State state = m_chunks.take(piece, m_decoded);
        if (!m_decoded.isEmpty())
            deliverBody(m_decoded);
        if (m_state != Body)
            return;
        if (state == ChunkedBody::State::Done)
            completeReply();
        else if (state == ChunkedBody::State::Broken)
            abandonReply(code::BadReply, "The reply's chunks are broken.");
        return;
    }
    // Nothing beyond the announced length is taken.
    const auto expected = m_bodyLength.expected();
    const QByteArray chunk = expected && piece.size() > *expected - m_received ? piece.left(*expected - m_received) : piece;
    if (chunk.isEmpty())
        return;
    deliverBody(chunk);
    if (expected && m_received >= *expected && m_state == Body)
        completeReply();
}

void HttpEngine::deliverBody(const QByteArray& chunk)
{
    m_received += chunk.size();
    if (!LocalFile.isEmpty() && !m_localFile && !m_localFileFailed) {
        auto file = std::make_unique<QFile>(localPath(LocalFile));
        if (file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_localFile = std::move(file);
        } else {
            // Told once per exchange; the body still reaches memory and the events.
            m_localFileFailed = true;
            const QByteArray text = "Can't open local file for writing.";
            socket().setMessage(text);
            m_events.error(0, text);
            m_bodyFailure = code::FileFailed;
        }
    }
    if (m_localFile && m_localFile->write(chunk) != chunk.size()) {
        closeLocalFile();
        m_localFileFailed = true;
        m_bodyFailure = code::WriteFailed;
        socket().setMessage("Error writing to LocalFile.");
        m_events.error(code::WriteFailed, "Error writing to LocalFile.");
    }
    const qint64 room = MaxTransferredData == 0 ? chunk.size() : std::max<qint64>(0, MaxTransferredData - m_data.size());
    if (room > 0)
        m_data.append(chunk.constData(), std::min<qint64>(room, chunk.size()));
    m_events.transfer(1, m_received, chunk);
}

void HttpEngine::completeReply()
{
    m_replyComplete = true;
    m_state = Ignoring;
}

void HttpEngine::abandonReply(int code, const QByteArray& text)
{
    m_replyFailure = code;
    m_state = Ignoring;
    // Nothing more is read: the connection closes once the wait for the reply ends.
    socket().setReceiving(false);
    socket().setMessage(text);
    m_events.error(code, text);
}

void HttpEngine::closeLocalFile() { m_localFile.reset(); }

} // namespace kelvane::plexant
