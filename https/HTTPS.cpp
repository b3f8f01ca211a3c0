#include "https/HTTPS.h"

#include "https/AboutDialog.h"
#include "https/ResultCodes.h"
#include "https/VariantArray.h"
#include "https/WinInetTransport.h"
#include "platform/TextEncoding.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/AutomationValues.h"

#include <QMetaProperty>
#include <algorithm>
#include <limits>
#include "platform/sockets/SocketErrors.h"

#include <new>

namespace kelvane::plexant {

using platform::automation::PersistedProperty;
using platform::automation::PropertyBag;
using kelvane::Variant;

namespace {

QByteArray ansi(const QString& text) { return platform::encoding::toAnsi(text); }
QString text(const QByteArray& bytes) { return platform::encoding::fromAnsi(bytes); }

// Help contexts: 21800 + the dispatch identifier for properties, fixed ones for the byte
// forms and the methods.
constexpr quint32 kPropertyHelpBase = 21800;
quint32 helpContextOf(int dispId)
{
    switch (dispId) {
    case 0: return 0;
    case 62: return 21801;
    case 63: return 21802;
    case 64: return 21803;
    case 65: return 31810;
    default: return dispId > 500 ? quint32(41801 + (dispId - 501)) : kPropertyHelpBase + quint32(dispId);
    }
}

// Method identifiers, as their help contexts follow them.
constexpr int kGet = 503;
constexpr int kHead = 504;
constexpr int kInterrupt = 505;
constexpr int kPost = 506;
constexpr int kPut = 507;
constexpr int kResetHeaders = 508;

// Error numbers of the control's fixed failures.
constexpr int kInvalidValue = 380;     // 0x800A017C
constexpr int kInvalidIndex = 381;     // 0x800A017D
constexpr int kReadOnly = 383;         // 0x800A017F
constexpr int kRunTimeOnly = 394;      // 0x800A018A

const QString kOutOfRange = QStringLiteral("Value is out of range.");

QString describeCode(int code)
{
    if (code == code::Interrupted)
        return QStringLiteral("Interrupted.");
    if (!platform::sockets::socketErrorText(code).isNull())
        return platform::sockets::describeSocketError(code);
    const QString transport = WinInetTransport::errorText(code);
    return transport.isNull() ? QStringLiteral("No description available.") : transport;
}

} // namespace

const QString HTTPS::kProgId = QStringLiteral("NetbrookSSL.HTTPS.1");
const QString HTTPS::kHelpFile = QStringLiteral("netbrookssl.chm");
const QString HTTPS::kProductName = QStringLiteral("Plexant HTTPS Control");
const QString HTTPS::kUserAgent = QStringLiteral("Plexant/5.0");

HTTPS::HTTPS(QObject* parent)
    : QObject(parent)
    , m_engine(*this, "https", 443)
    , m_winInet(std::make_unique<WinInetTransport>(m_engine, static_cast<EngineEvents&>(*this)))
{
    m_engine.UserAgent = ansi(kUserAgent);
    m_engine.ParseUrl({});
}

HTTPS::~HTTPS() = default;

void HTTPS::raise(int number, const QString& description, int dispId) const
{
    platform::automation::raiseAutomationError(number, description, kProgId, dispId ? kHelpFile : QString(),
                                               helpContextOf(dispId));
}

void HTTPS::report(int code, int dispId) const
{
    if (code == code::Ok)
        return;
    if (code == code::OutOfMemory)
        raise(kelvane::err::OutOfMemory, QStringLiteral("Out of memory."));
    const QByteArray& message = m_engine.socket().message();
    const QString description = message.isEmpty() ? describeCode(code) : text(message);
    raise(code <= 10000 ? code + 20001 : code + 15001, description, dispId);
}

void HTTPS::runTime() const
{
    if (!m_userMode)
        raise(kRunTimeOnly, QStringLiteral("Property is runtime only (no supported in design time)."));
}

void HTTPS::requireRange(qint32 value, qint32 least, qint32 most, int dispId) const
{
    if (value < least || value > most)
        raise(kInvalidValue, kOutOfRange, dispId);
}

void HTTPS::put(QByteArray& field, const QString& value) { field = ansi(value); }

// Request headers and settings kept as they are given.
QString HTTPS::Accept() const { return text(m_engine.Accept); }
void HTTPS::setAccept(const QString& value) { put(m_engine.Accept, value); }
QString HTTPS::AttachedFile() const { runTime(); return text(m_engine.AttachedFile); }
void HTTPS::setAttachedFile(const QString& value) { put(m_engine.AttachedFile, value); }
QString HTTPS::Authorization() const { runTime(); return text(m_engine.Authorization); }
void HTTPS::setAuthorization(const QString& value) { put(m_engine.Authorization, value); }
QString HTTPS::ContentType() const { runTime(); return text(m_engine.ContentType); }
void HTTPS::setContentType(const QString& value) { put(m_engine.ContentType, value); }
QString HTTPS::From() const { runTime(); return text(m_engine.From); }
void HTTPS::setFrom(const QString& value) { put(m_engine.From, value); }
QString HTTPS::HTTPMethod() const { runTime(); return text(m_engine.HTTPMethod); }
void HTTPS::setHTTPMethod(const QString& value) { put(m_engine.HTTPMethod, value); }
QString HTTPS::HTTPVersion() const { runTime(); return text(m_engine.HTTPVersion); }
void HTTPS::setHTTPVersion(const QString& value) { put(m_engine.HTTPVersion, value); }
QString HTTPS::IfModifiedSince() const { runTime(); return text(m_engine.IfModifiedSince); }
void HTTPS::setIfModifiedSince(const QString& value) { put(m_engine.IfModifiedSince, value); }
QString HTTPS::LocalFile() const { return text(m_engine.LocalFile); }
void HTTPS::setLocalFile(const QString& value) { put(m_engine.LocalFile, value); }
QString HTTPS::OtherHeaders() const { runTime(); return text(m_engine.OtherHeaders); }
void HTTPS::setOtherHeaders(const QString& value) { put(m_engine.OtherHeaders, value); }
QString HTTPS::PostData() const { runTime(); return text(m_engine.PostData); }
void HTTPS::setPostData(const QString& value) { put(m_engine.PostData, value); }
QString HTTPS::Pragma() const { runTime(); return text(m_engine.Pragma); }
void HTTPS::setPragma(const QString& value) { put(m_engine.Pragma, value); }
QString HTTPS::ProxyAuthorization() const { runTime(); return text(m_engine.ProxyAuthorization); }
void HTTPS::setProxyAuthorization(const QString& value) { put(m_engine.ProxyAuthorization, value); }
QString HTTPS::ProxyServer() const { return text(m_engine.ProxyServer); }
void HTTPS::setProxyServer(const QString& value) { put(m_engine.ProxyServer, value); }
QString HTTPS::Referer() const { runTime(); return text(m_engine.Referer); }
void HTTPS::setReferer(const QString& value) { put(m_engine.Referer, value); }
QString HTTPS::UserAgent() const { return text(m_engine.UserAgent); }
void HTTPS::setUserAgent(const QString& value) { put(m_engine.UserAgent, value); }

// Credentials rebuild their authorization.
QString HTTPS::User() const { return text(m_engine.User()); }
void HTTPS::setUser(const QString& value) { m_engine.setUser(ansi(value)); }
QString HTTPS::Password() const { return text(m_engine.Password()); }
void HTTPS::setPassword(const QString& value) { m_engine.setPassword(ansi(value)); }
QString HTTPS::ProxyUser() const { return text(m_engine.ProxyUser()); }
void HTTPS::setProxyUser(const QString& value) { m_engine.setProxyUser(ansi(value)); }
QString HTTPS::ProxyPassword() const { return text(m_engine.ProxyPassword()); }
void HTTPS::setProxyPassword(const QString& value) { m_engine.setProxyPassword(ansi(value)); }

qint32 HTTPS::ProxyPort() const { return m_engine.ProxyPort; }
void HTTPS::setProxyPort(qint32 port)
{
    requireRange(port, 0, 65535, 30);
    m_engine.ProxyPort = quint16(port);
}

qint32 HTTPS::ProxySSL() const { return m_engine.ProxySSL; }
void HTTPS::setProxySSL(qint32 value)
{
    requireRange(value, psAutomatic, psTunnel, 32);
    m_engine.ProxySSL = value;
    FirewallNegotiator& firewall = m_engine.socket().firewall();
    firewall.setType(value == psTunnel ? fwTunnel : fwNone);
    firewall.setPort(80);
}

qint32 HTTPS::FollowRedirects() const { return m_engine.FollowRedirects; }
void HTTPS::setFollowRedirects(qint32 value)
{
    requireRange(value, frNever, frSameScheme, 16);
    m_engine.FollowRedirects = value;
}

qint32 HTTPS::MaxTransferredData() const { return m_engine.MaxTransferredData; }
void HTTPS::setMaxTransferredData(qint32 value)
{
    // No limit is 0; a negative number is no value.
    requireRange(value, 0, std::numeric_limits<qint32>::max(), 23);
    m_engine.MaxTransferredData = value;
}

// The URL and its parts.
QString HTTPS::URL() const { return text(m_engine.URL()); }
void HTTPS::setURL(const QString& url) { report(m_engine.ParseUrl(ansi(url)), 47); }
QString HTTPS::URLPath() const { runTime(); return text(m_engine.URLPath()); }
void HTTPS::setURLPath(const QString& value) { m_engine.setURLPath(ansi(value)); }
qint32 HTTPS::URLPort() const { runTime(); return m_engine.URLPort(); }
void HTTPS::setURLPort(qint32 port)
{
    requireRange(port, 0, 65535, 49);
    m_engine.setURLPort(quint16(port));
}
QString HTTPS::URLScheme() const { runTime(); return text(m_engine.URLScheme()); }
void HTTPS::setURLScheme(const QString& value) { m_engine.setURLScheme(ansi(value)); }
QString HTTPS::URLServer() const { runTime(); return text(m_engine.URLServer()); }
void HTTPS::setURLServer(const QString& value) { m_engine.setURLServer(ansi(value)); }

// Cookies.
qint16 HTTPS::CookieCount() const { runTime(); return qint16(m_engine.Cookies.count()); }
void HTTPS::setCookieCount(qint16 count) { m_engine.Cookies.setCount(count); }

QString HTTPS::CookieName(qint16 index) const
{
    runTime();
    if (!m_engine.Cookies.validIndex(index))
        raise(kInvalidIndex, QStringLiteral("Invalid array index."));
    return text(m_engine.Cookies.name(index));
}

void HTTPS::setCookieName(qint16 index, const QString& name)
{
    if (!m_engine.Cookies.validIndex(index))
        raise(code::CookieIndex + 20001, QStringLiteral("Invalid cookie index (out of range)."), 8);
    m_engine.Cookies.setName(index, ansi(name));
}

QString HTTPS::CookieValue(qint16 index) const
{
    runTime();
    if (!m_engine.Cookies.validIndex(index))
        raise(kInvalidIndex, QStringLiteral("Invalid array index."));
    return text(m_engine.Cookies.value(index));
}

void HTTPS::setCookieValue(qint16 index, const QString& value)
{
    if (!m_engine.Cookies.validIndex(index))
        raise(code::CookieIndex + 20001, QStringLiteral("Invalid cookie index (out of range)."), 9);
    m_engine.Cookies.setValue(index, ansi(value));
}

// The firewall.
QString HTTPS::FirewallData() const { return text(m_engine.socket().firewall().data()); }
void HTTPS::setFirewallData(const QString& value) { m_engine.socket().firewall().setData(ansi(value)); }

QString HTTPS::FirewallHost() const
{
    const quint32 address = m_engine.socket().firewall().address();
    if (address == 0)
        return {};
    return SocketEngine::api().addressText(address);
}

void HTTPS::setFirewallHost(const QString& host) { report(m_engine.socket().firewall().setHost(ansi(host)), 11); }

QString HTTPS::FirewallPassword() const { return text(m_engine.socket().firewall().password()); }
void HTTPS::setFirewallPassword(const QString& value) { m_engine.socket().firewall().setPassword(ansi(value)); }
QString HTTPS::FirewallUser() const { return text(m_engine.socket().firewall().user()); }
void HTTPS::setFirewallUser(const QString& value) { m_engine.socket().firewall().setUser(ansi(value)); }

qint32 HTTPS::FirewallPort() const { return m_engine.socket().firewall().port(); }
void HTTPS::setFirewallPort(qint32 port)
{
    requireRange(port, 0, 65535, 13);
    m_engine.socket().firewall().setPort(quint16(port));
}

qint32 HTTPS::FirewallType() const { return m_engine.socket().firewall().type(); }
void HTTPS::setFirewallType(qint32 type)
{
    requireRange(type, fwNone, fwSOCKS5, 14);
    m_engine.socket().firewall().setType(type);
}

// The connection and the socket library.
bool HTTPS::Connected() const { runTime(); return m_engine.tls().isConnected(); }
void HTTPS::setConnected(bool) { raise(kReadOnly, QStringLiteral("Property is read-only."), 5); }
qint32 HTTPS::SocketHandle() const { runTime(); return qint32(m_engine.socket().socketHandle()); }
void HTTPS::setSocketHandle(qint32) { raise(kReadOnly, QStringLiteral("Property is read-only."), 35); }

QString HTTPS::LocalHost() const { return text(m_engine.socket().localHost()); }
void HTTPS::setLocalHost(const QString& host) { report(m_engine.socket().setLocalHost(ansi(host)), 22); }

qint16 HTTPS::Timeout() const { return qint16(m_engine.socket().timeout()); }
void HTTPS::setTimeout(qint16 seconds)
{
    requireRange(seconds, 0, 32767, 44);
    m_engine.socket().setTimeout(seconds);
}

bool HTTPS::WinsockLoaded() const { return m_engine.socket().winsockLoaded(); }
void HTTPS::setWinsockLoaded(bool loaded) { m_engine.socket().setWinsockLoaded(loaded); }
QString HTTPS::WinsockInfo() const { return SocketEngine::socketLayer().startupRecord().description; }
void HTTPS::setWinsockInfo(const QString&) { raise(kReadOnly, QStringLiteral("Property is read-only."), 56); }
QString HTTPS::WinsockStatus() const { return SocketEngine::socketLayer().startupRecord().systemStatus; }
void HTTPS::setWinsockStatus(const QString&) { raise(kReadOnly, QStringLiteral("Property is read-only."), 61); }
qint32 HTTPS::WinsockMaxDatagramSize() const
{
    runTime();
    return SocketEngine::socketLayer().startupRecord().maxDatagramSize;
}
void HTTPS::setWinsockMaxDatagramSize(qint32) { raise(kReadOnly, QStringLiteral("Property is read-only."), 58); }
qint32 HTTPS::WinsockMaxSockets() const
{
    runTime();
    return SocketEngine::socketLayer().startupRecord().maxSockets;
}
void HTTPS::setWinsockMaxSockets(qint32) { raise(kReadOnly, QStringLiteral("Property is read-only."), 59); }
QString HTTPS::WinsockPath() const
{
    runTime();
    return SocketEngine::socketLayer().libraryPath();
}

// The reply.
QString HTTPS::StatusLine() const { runTime(); return text(m_engine.StatusLine()); }
void HTTPS::setStatusLine(const QString&) { raise(kReadOnly, QStringLiteral("Property is read-only."), 43); }
QString HTTPS::TransferredData() const { runTime(); return text(m_engine.TransferredData()); }
void HTTPS::setTransferredData(const QString&) { raise(kReadOnly, QStringLiteral("Property is read-only."), 45); }
QString HTTPS::TransferredHeaders() const { runTime(); return text(m_engine.TransferredHeaders()); }
void HTTPS::setTransferredHeaders(const QString&) { raise(kReadOnly, QStringLiteral("Property is read-only."), 46); }

// The secure channel.
qint32 HTTPS::SSLCertHandle() const { runTime(); return m_engine.tls().certificateHandle(); }
void HTTPS::setSSLCertHandle(qint32 handle) { m_engine.tls().selectCertificate(handle); }
QString HTTPS::SSLCertStore() const { return text(m_engine.tls().certificateStore()); }
void HTTPS::setSSLCertStore(const QString& store) { report(m_engine.tls().setCertificateStore(ansi(store)), 37); }
QString HTTPS::SSLCertSubject() const { return text(m_engine.tls().certificateSubject()); }
void HTTPS::setSSLCertSubject(const QString& subject) { report(m_engine.tls().setCertificateSubject(ansi(subject)), 38); }
qint16 HTTPS::SSLCipherStrength() const { runTime(); return m_engine.tls().CipherStrength; }
void HTTPS::setSSLCipherStrength(qint16 bits) { m_engine.tls().CipherStrength = bits; }
qint32 HTTPS::SSLEnabledProtocols() const { runTime(); return qint32(m_engine.tls().EnabledProtocols); }
void HTTPS::setSSLEnabledProtocols(qint32 protocols) { m_engine.tls().EnabledProtocols = quint32(protocols); }
QString HTTPS::SSLProvider() const { runTime(); return text(m_engine.tls().Provider); }
void HTTPS::setSSLProvider(const QString& provider) { put(m_engine.tls().Provider, provider); }
qint32 HTTPS::SSLSecurityFlags() const { runTime(); return qint32(m_engine.tls().SecurityFlags); }
void HTTPS::setSSLSecurityFlags(qint32 flags) { m_engine.tls().SecurityFlags = quint32(flags); }

bool HTTPS::UseWinInetCookies() const { runTime(); return m_winInet->UseWinInetCookies; }
void HTTPS::setUseWinInetCookies(bool on) { m_winInet->UseWinInetCookies = on; }

// Byte forms.
Variant HTTPS::FirewallDataB() const { runTime(); return byteArrayVariant(m_engine.socket().firewall().data()); }
void HTTPS::setFirewallDataB(const Variant& bytes)
{
    const auto data = bytesOfArray(bytes);
    if (!data)
        raise(kInvalidValue, QStringLiteral("Property accepts only one-dimensional byte arrays."), 62);
    m_engine.socket().firewall().setData(*data);
}

Variant HTTPS::PostDataB() const { runTime(); return byteArrayVariant(m_engine.PostData); }
void HTTPS::setPostDataB(const Variant& bytes)
{
    const auto data = bytesOfArray(bytes);
    if (!data)
        raise(kInvalidValue, QStringLiteral("Property accepts only one-dimensional byte arrays."), 63);
    m_engine.PostData = *data;
}

Variant HTTPS::TransferredDataB() const { runTime(); return byteArrayVariant(m_engine.TransferredData()); }
void HTTPS::setTransferredDataB(const Variant&) { raise(kReadOnly, QStringLiteral("Property is read-only."), 64); }
Variant HTTPS::TransferTextB() const
{
    runTime();
    return m_firingChunk ? byteArrayVariant(*m_firingChunk) : Variant();
}
void HTTPS::setTransferTextB(const Variant&) { raise(kReadOnly, QStringLiteral("Property is read-only."), 65); }

// Actions.
qint32 HTTPS::Action() const { return m_engine.runningAction(); }

void HTTPS::setAction(qint32 action)
{
    requireRange(action, httpIdle, httpPut, 2);
    report(dispatchAction(action), 2);
}

int HTTPS::dispatchAction(int action)
{
    return m_useWinInet ? m_winInet->RunActionOnWorker(action) : m_engine.RunAction(action);
}

void HTTPS::runMethod(int action, const QString& url, int helpContext)
{
    // A URL that cannot be taken stays a failure of the call; what was set stays set.
    report(m_engine.ParseUrl(ansi(url)), helpContext);
    report(m_engine.RunAction(action), helpContext);
}

void HTTPS::Get(const QString& URL) { runMethod(httpGet, URL, kGet); }
void HTTPS::Head(const QString& URL) { runMethod(httpHead, URL, kHead); }
void HTTPS::Post(const QString& URL) { runMethod(httpPost, URL, kPost); }
void HTTPS::Put(const QString& URL) { runMethod(httpPut, URL, kPut); }
void HTTPS::Interrupt() { report(dispatchAction(httpIdle), kInterrupt); }
void HTTPS::ResetHeaders() { report(dispatchAction(httpResetHeaders), kResetHeaders); }

void HTTPS::AddCookie(const QString& CookieName, const QString& CookieValue)
{
    m_engine.Cookies.add(ansi(CookieName), ansi(CookieValue));
}

void HTTPS::DoEvents() { m_engine.socket().waitPass(20); }

void HTTPS::AboutBox() { showAboutDialog(kProductName); }

// Saved properties.
QList<PersistedProperty> HTTPS::persistedProperties()
{
    const auto text = [](const char* name, Variant value = QString()) {
        return PersistedProperty {QString::fromLatin1(name), std::move(value)};
    };
    return {text("Accept"),
            text("FirewallData"),
            text("FirewallHost"),
            text("FirewallPassword"),
            text("FirewallPort", qint32(80)),
            text("FirewallType", qint32(0)),
            text("FirewallUser"),
            text("FollowRedirects", qint32(0)),
            text("LocalFile"),
            text("MaxTransferredData", qint32(4096)),
            text("Password"),
            text("ProxyPassword"),
            text("ProxyPort", qint32(80)),
            text("ProxyServer"),
            text("ProxySSL", qint32(0)),
            text("ProxyUser"),
            text("SSLCertStore", QStringLiteral("MY")),
            text("SSLCertSubject"),
            text("Timeout", qint16(0)),
            text("URL"),
            text("User"),
            text("UserAgent", kUserAgent),
            text("UseWinInet", false),
            text("WinsockLoaded", true)};
}

void HTTPS::WriteProperties(PropertyBag& bag) const
{
    for (const PersistedProperty& property : persistedProperties()) {
        const QMetaProperty meta = metaObject()->property(metaObject()->indexOfProperty(property.name.toLatin1().constData()));
        bag.write(property.name, platform::automation::fromQt(meta.read(this)), property.defaultValue);
    }
}

void HTTPS::ReadProperties(const PropertyBag& bag)
{
    FirewallNegotiator& firewall = m_engine.socket().firewall();
    for (const PersistedProperty& property : persistedProperties()) {
        const Variant saved = bag.read(property.name, property.defaultValue);
        // The firewall type and the proxy mode come back as they were saved: writing them
        // would also reset the firewall port and type saved beside them.
        if (property.name == QLatin1String("FirewallType")) {
            firewall.restoreType(std::clamp(int(saved.toDouble()), int(fwNone), int(fwSOCKS5)));
            continue;
        }
        if (property.name == QLatin1String("ProxySSL")) {
            m_engine.ProxySSL = std::clamp(int(saved.toDouble()), int(psAutomatic), int(psTunnel));
            continue;
        }
        // A value the control refuses leaves the property as it was; the others still load.
        try {
            const QMetaProperty meta = metaObject()->property(metaObject()->indexOfProperty(property.name.toLatin1().constData()));
            meta.write(this, platform::automation::toQt(saved, meta.metaType()));
        } catch (const kelvane::RuntimeError&) {
        }
    }
}

// Events: the engine's notifications, with their texts converted for the host.
template <class Fire>
static void fireConverted(HTTPS& control, const char* name, Fire&& fire)
{
    try {
        fire();
    } catch (const std::bad_alloc&) {
        qint16 code = kelvane::err::OutOfMemory;
        QString description = QStringLiteral("Out of memory while firing %1.").arg(QLatin1String(name));
        Q_EMIT control.Error(code, description);
    }
}

void HTTPS::connected(int code, const QByteArray& message)
{
    fireConverted(*this, "Connected", [&] {
        qint16 status = qint16(code);
        QString description = text(message);
        Q_EMIT Connected(status, description);
    });
}

void HTTPS::disconnected(int code, const QByteArray& message)
{
    fireConverted(*this, "Disconnected", [&] {
        qint16 status = qint16(code);
        QString description = text(message);
        Q_EMIT Disconnected(status, description);
    });
}

void HTTPS::error(int code, const QByteArray& message)
{
    try {
        qint16 number = qint16(code);
        QString description = text(message);
        Q_EMIT Error(number, description);
    } catch (const std::bad_alloc&) {
        // Nothing is fired when the error's own text cannot be made.
    }
}

void HTTPS::header(const QByteArray& field, const QByteArray& value)
{
    fireConverted(*this, "Header", [&] {
        QString name = text(field);
        QString content = text(value);
        Q_EMIT Header(name, content);
    });
}

void HTTPS::setCookie(const QByteArray& name, const QByteArray& value, const QByteArray& expires,
                      const QByteArray& domain, const QByteArray& path, bool secure)
{
    fireConverted(*this, "SetCookie", [&] {
        QString n = text(name), v = text(value), e = text(expires), d = text(domain), p = text(path);
        bool s = secure;
        Q_EMIT SetCookie(n, v, e, d, p, s);
    });
}

void HTTPS::startTransfer(int direction)
{
    qint16 d = qint16(direction);
    Q_EMIT StartTransfer(d);
}

void HTTPS::transfer(int direction, qint64 bytesSoFar, const QByteArray& data)
{
    // Nobody listening: the text is not made.
    static const QMetaMethod signal = QMetaMethod::fromSignal(&HTTPS::Transfer);
    if (!isSignalConnected(signal))
        return;
    fireConverted(*this, "Transfer", [&] {
        qint16 d = qint16(direction);
        qint32 count = qint32(std::min<qint64>(bytesSoFar, std::numeric_limits<qint32>::max()));
        // One text for every block: its storage serves the next block unless a handler kept it.
        platform::encoding::fromAnsi(data, m_transferText);
        m_firingChunk = &data;
        Q_EMIT Transfer(d, count, m_transferText);
        m_firingChunk = nullptr;
    });
    m_firingChunk = nullptr;
}

void HTTPS::endTransfer(int direction)
{
    qint16 d = qint16(direction);
    Q_EMIT EndTransfer(d);
}

void HTTPS::sslStatus(const QByteArray& message)
{
    fireConverted(*this, "SSLStatus", [&] {
        QString m = text(message);
        Q_EMIT SSLStatus(m);
    });
}

void HTTPS::sslServerAuthentication(qint32 certificateHandle, const QByteArray& subject, const QByteArray& issuer,
                                    const QByteArray& status, bool& accept)
{
    fireConverted(*this, "SSLServerAuthentication", [&] {
        qint32 handle = certificateHandle;
        QString s = text(subject), i = text(issuer), st = text(status);
        Q_EMIT SSLServerAuthentication(handle, s, i, st, accept);
    });
}

} // namespace kelvane::plexant
