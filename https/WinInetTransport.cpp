#include "https/WinInetTransport.h"

#include "https/CurlTransfer.h"
#include "https/HttpEngine.h"
#include "https/ResultCodes.h"

#include <curl/curl.h>

#include <array>
#include <utility>

namespace kelvane::plexant {

namespace {

// The texts of the transport's error numbers, word for word as the control shows them.
constexpr std::array<std::pair<int, const char*>, 76> kErrorTexts {{
    {12001, "Internet Out Of Handles."},
    {12002, "Internet Timeout."},
    {12003, "Internet Extended Error."},
    {12004, "Internet Internal Error."},
    {12005, "Internet Invalid Url."},
    {12006, "Internet Unrecognized Scheme."},
    {12007, "Internet Name Not Resolved."},
    {12008, "Internet Protocol Not Found."},
    {12009, "Internet Invalid Option."},
    {12010, "Internet Bad Option Length."},
    {12011, "Internet Option Not Settable."},
    {12012, "Internet Shutdown."},
    {12013, "Internet Incorrect User Name."},
    {12014, "Internet Incorrect Password."},
    {12015, "Internet Login Failure."},
    {12016, "Internet Invalid Operation."},
    {12017, "Internet Operation Cancelled."},
    {12018, "Internet Incorrect Handle Type."},
    {12019, "Internet Incorrect Handle State."},
    {12020, "Internet Not Proxy Request."},
    {12021, "Internet Registry Value Not Found."},
    {12022, "Internet Bad Registry Parameter."},
    {12023, "Internet No Direct Access."},
    {12024, "Internet No Context."},
    {12025, "Internet No Callback."},
    {12026, "Internet Request Pending."},
    {12027, "Internet Incorrect Format."},
    {12028, "Internet Item Not Found."},
    {12029, "Internet Cannot Connect."},
    {12030, "Internet Connection Aborted."},
    {12031, "Internet Connection Reset."},
    {12032, "Internet Force Retry."},
    {12033, "Internet Invalid Proxy Request."},
    {12034, "Internet Need UI."},
    {12036, "Internet Handle Exists."},
    {12037, "The Certificate has an Invalid Name, or different from Host Name."},
    {12038, "Invalid Certificate Name."},
    {12039, "HTTP to HTTPS redirection not allowed (check the security flags)."},
    {12040, "HTTPS to HTTP redirection not allowed (check the security flags)."},
    {12041, "Internet Mixed Security."},
    {12042, "Internet Chg Post Is Non Secure."},
    {12043, "Internet Post Is Non Secure."},
    {12044, "Internet Client Auth Cert Needed."},
    {12045, "Invalid Certification Authority."},
    {12046, "Internet Client Auth Not Setup."},
    {12047, "Internet Async Thread Failed."},
    {12048, "Internet Redirect Scheme Change."},
    {12049, "Internet Dialog Pending."},
    {12050, "Internet Retry Dialog."},
    {12052, "Internet Https Http Submit Redir."},
    {12053, "Internet Insert Cdrom."},
    {12110, "Ftp Transfer is currently in progress."},
    {12111, "FTP connection dropped."},
    {12112, "The FTP server does not support the passive mode."},
    {12150, "Http Header Not Found."},
    {12151, "Http Downlevel Server."},
    {12152, "Http Invalid Server Response."},
    {12153, "Http Invalid Header."},
    {12154, "Http Invalid Query Request."},
    {12155, "Http Header Already Exists."},
    {12156, "Http Redirect Failed."},
    {12157, "Internet Security Channel Error."},
    {12158, "Internet Unable To Cache File."},
    {12159, "Internet Tcpip Not Installed."},
    {12160, "Http Not Redirected."},
    {12161, "Http Cookie Needs Confirmation."},
    {12162, "Http Cookie Declined."},
    {12163, "Internet Disconnected."},
    {12164, "Internet Server Unreachable."},
    {12165, "Internet Proxy Server Unreachable."},
    {12166, "Internet Bad Auto Proxy Script."},
    {12167, "Internet Unable To Download Script."},
    {12168, "Http Redirect Needs Confirmation."},
    {12169, "Invalid Security Certificate."},
    {12170, "Revoked Security Certificate."},
    {12171, "Failed due to security check."},
}};

// Whether the other headers carry cookies of their own.
bool carriesCookies(const QByteArray& otherHeaders)
{
    return otherHeaders.contains("\nCookie:") || otherHeaders.startsWith("Cookie:");
}

} // namespace

WinInetTransport::WinInetTransport(HttpEngine& engine, EngineEvents& events)
    : m_engine(engine)
    , m_events(events)
{
    // The library is set up once, before any worker uses it.
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

WinInetTransport::~WinInetTransport() { stopWorker(); }

QString WinInetTransport::errorText(int code)
{
    for (const auto& [number, text] : kErrorTexts) {
        if (number == code)
            return QString::fromLatin1(text);
    }
    return {};
}

quint32 WinInetTransport::securityFlags(quint32 ssl)
{
    quint32 flags = 0;
    if (ssl & 0x7)
        flags |= 0x2000;
    if (ssl & 0x10)
        flags |= 0x100;
    if (ssl & 0x20)
        flags |= 0x200;
    if (ssl & (0x100 | 0x200 | 0x800))
        flags |= 0x80;
    if (ssl & 0x400)
        flags |= 0x100;
    if (ssl & (0x100 | 0x200 | 0x400 | 0x800))
        flags |= 0x1000;
    if (ssl & (0x4000 | 0x8000))
        flags |= 0x100;
    if (ssl & 0x80000000u)
        flags |= 0x1000;
    return flags;
}

void WinInetTransport::stopWorker()
{
    m_channel.cancel();
    if (m_worker.joinable())
        m_worker.join();
}

WorkerRequest WinInetTransport::snapshot(int action) const
{
    const HttpEngine& e = m_engine;
    WorkerRequest request;
    request.verb = action == HttpEngine::Get ? "GET" : action == HttpEngine::Post ? "POST" : action == HttpEngine::Head ? "HEAD" : "PUT";
    request.scheme = e.URLScheme();
    request.server = e.URLServer();
    request.port = e.URLPort();
    request.path = e.URLPath();
    request.user = e.User();
    request.password = e.Password();
    request.httpVersion = e.HTTPVersion;
    request.referer = e.Referer;
    request.accept = e.Accept;
    request.contentType = e.ContentType;
    request.from = e.From;
    request.ifModifiedSince = e.IfModifiedSince;
    request.pragma = e.Pragma;
    request.otherHeaders = e.OtherHeaders;
    request.userAgent = e.UserAgent;
    request.proxyServer = e.ProxyServer;
    request.proxyPort = e.ProxyPort;
    request.postData = e.PostData;
    request.attachedFile = e.AttachedFile;
    request.localFile = e.LocalFile;
    request.followRedirects = e.FollowRedirects;
    request.sslSecurityFlags = e.tls().SecurityFlags;
    request.securityFlags = securityFlags(e.tls().SecurityFlags);
    request.clientCertificate = e.tls().clientCertificate();
    request.cookies = UseWinInetCookies && !carriesCookies(e.OtherHeaders);
    request.cookieStore = m_cookies;
    return request;
}

int WinInetTransport::RunActionOnWorker(int action)
{
    SocketEngine& socket = m_engine.socket();
    if (action == HttpEngine::Idle) {
        // Asks the worker to stop; the wait that runs it ends with the interrupt.
        if (m_engine.runningAction() != HttpEngine::Idle) {
            m_channel.cancel();
            socket.requestInterrupt();
        }
        m_engine.setRunningAction(HttpEngine::Idle);
        return code::Ok;
    }
    if (m_engine.runningAction() != HttpEngine::Idle)
        return socket.fail(code::Busy, "Busy performing current action.");
    if (action == HttpEngine::ResetHeaders) {
        m_engine.ResetRequestHeaders();
        return code::Ok;
    }
    if (action != HttpEngine::Get && action != HttpEngine::Post && action != HttpEngine::Head && action != HttpEngine::Put)
        return code::Ok;

    socket.clearMessage();
    socket.clearInterrupt();
    m_engine.setStatusLine({});
    if (m_engine.URLScheme().compare("http", Qt::CaseInsensitive) != 0
        && m_engine.URLScheme().compare("https", Qt::CaseInsensitive) != 0)
        return socket.fail(code::InvalidUrl, "Specified URLScheme is invalid.");
    if (m_engine.URLServer().isEmpty())
        return socket.fail(code::NoServer, "No server specified in URL");

    stopWorker();
    m_channel.reset();
    if (!m_cookies)
        m_cookies = CurlTransfer::newCookieStore();
    m_engine.setRunningAction(action);
    socket.armTimeout();
    auto result = std::make_shared<WorkerResult>();
    HttpEngine* engine = &m_engine;
    auto transfer = std::make_shared<CurlTransfer>(snapshot(action), m_channel, m_events,
                                                   [engine](const QByteArray& line) { engine->setStatusLine(line); });
    m_worker = std::thread([transfer, result] { transfer->run(*result); });
    const int outcome = waitForWorker(result);
    m_engine.setRunningAction(HttpEngine::Idle);
    socket.disarmTimeout();
    return outcome;
}

int WinInetTransport::waitForWorker(const std::shared_ptr<WorkerResult>& result)
{
    SocketEngine& socket = m_engine.socket();
    while (!result->done) {
        m_channel.deliver();
        if (result->done)
            break;
        if (!socket.waitPass(10)) {
            // An interrupt, a time-out or the window closing: the worker stops at its next
            // step, and is waited for.
            m_engine.setRunningAction(HttpEngine::Idle);
            stopWorker();
            socket.takeInterrupted();
            return socket.fail(code::Interrupted);
        }
    }
    // Every event of the worker was handled before it finished.
    m_worker.join();
    if (result->code != code::Ok) {
        const QString text = errorText(result->code);
        socket.setMessage(!result->message.isEmpty() ? result->message
                          : text.isNull()          ? QByteArray()
                                                   : text.toLatin1());
        return socket.fail(result->code);
    }
    return code::Ok;
}

} // namespace kelvane::plexant
