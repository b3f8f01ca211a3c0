#pragma once

#include "https/EngineEvents.h"
#include "https/HttpEngine.h"
#include "platform/Variant.h"
#include "platform/automation/PropertyBag.h"

#include <QObject>
#include <QString>
#include <memory>

namespace kelvane::plexant {

class WinInetTransport;

// The HTTPS control: an invisible control that fetches and posts over HTTP/1.0, with TLS,
// through proxies and firewalls. Its properties and methods map to the engine stack; the
// engine's notifications become its events (signals whose arguments are passed by
// reference, so handlers may change them); engine failures reach the caller as automation
// errors: 0x800A0000 + 20001 + code for the engine's codes, + 15001 + code for socket and
// transport error numbers, with the control's help context of the member.
//
// Properties marked "run time" refuse to be read while the container is in design mode;
// the read-only ones refuse every write. Everything runs on the thread that made the
// control: long operations pump its messages, so event handlers may call back in (for
// example Interrupt).
class HTTPS : public QObject, private EngineEvents {
    Q_OBJECT
    Q_PROPERTY(QString Accept READ Accept WRITE setAccept)
    Q_PROPERTY(qint32 Action READ Action WRITE setAction)
    Q_PROPERTY(QString AttachedFile READ AttachedFile WRITE setAttachedFile)
    Q_PROPERTY(QString Authorization READ Authorization WRITE setAuthorization)
    Q_PROPERTY(bool Connected READ Connected WRITE setConnected)
    Q_PROPERTY(QString ContentType READ ContentType WRITE setContentType)
    Q_PROPERTY(qint16 CookieCount READ CookieCount WRITE setCookieCount)
    Q_PROPERTY(QString FirewallData READ FirewallData WRITE setFirewallData)
    Q_PROPERTY(QString FirewallHost READ FirewallHost WRITE setFirewallHost)
    Q_PROPERTY(QString FirewallPassword READ FirewallPassword WRITE setFirewallPassword)
    Q_PROPERTY(qint32 FirewallPort READ FirewallPort WRITE setFirewallPort)
    Q_PROPERTY(qint32 FirewallType READ FirewallType WRITE setFirewallType)
    Q_PROPERTY(QString FirewallUser READ FirewallUser WRITE setFirewallUser)
    Q_PROPERTY(qint32 FollowRedirects READ FollowRedirects WRITE setFollowRedirects)
    Q_PROPERTY(QString From READ From WRITE setFrom)
    Q_PROPERTY(QString HTTPMethod READ HTTPMethod WRITE setHTTPMethod)
    Q_PROPERTY(QString HTTPVersion READ HTTPVersion WRITE setHTTPVersion)
    Q_PROPERTY(QString IfModifiedSince READ IfModifiedSince WRITE setIfModifiedSince)
    Q_PROPERTY(QString LocalFile READ LocalFile WRITE setLocalFile)
    Q_PROPERTY(QString LocalHost READ LocalHost WRITE setLocalHost)
    Q_PROPERTY(qint32 MaxTransferredData READ MaxTransferredData WRITE setMaxTransferredData)
    Q_PROPERTY(QString OtherHeaders READ OtherHeaders WRITE setOtherHeaders)
    Q_PROPERTY(QString Password READ Password WRITE setPassword)
    Q_PROPERTY(QString PostData READ PostData WRITE setPostData)
    Q_PROPERTY(QString Pragma READ Pragma WRITE setPragma)
    Q_PROPERTY(QString ProxyAuthorization READ ProxyAuthorization WRITE setProxyAuthorization)
    Q_PROPERTY(QString ProxyPassword READ ProxyPassword WRITE setProxyPassword)
    Q_PROPERTY(qint32 ProxyPort READ ProxyPort WRITE setProxyPort)
    Q_PROPERTY(QString ProxyServer READ ProxyServer WRITE setProxyServer)
    Q_PROPERTY(qint32 ProxySSL READ ProxySSL WRITE setProxySSL)
    Q_PROPERTY(QString ProxyUser READ ProxyUser WRITE setProxyUser)
    Q_PROPERTY(QString Referer READ Referer WRITE setReferer)
    Q_PROPERTY(qint32 SocketHandle READ SocketHandle WRITE setSocketHandle)
    Q_PROPERTY(qint32 SSLCertHandle READ SSLCertHandle WRITE setSSLCertHandle)
    Q_PROPERTY(QString SSLCertStore READ SSLCertStore WRITE setSSLCertStore)
    Q_PROPERTY(QString SSLCertSubject READ SSLCertSubject WRITE setSSLCertSubject)
    Q_PROPERTY(qint16 SSLCipherStrength READ SSLCipherStrength WRITE setSSLCipherStrength)
    Q_PROPERTY(qint32 SSLEnabledProtocols READ SSLEnabledProtocols WRITE setSSLEnabledProtocols)
    Q_PROPERTY(QString SSLProvider READ SSLProvider WRITE setSSLProvider)
    Q_PROPERTY(qint32 SSLSecurityFlags READ SSLSecurityFlags WRITE setSSLSecurityFlags)
    Q_PROPERTY(QString StatusLine READ StatusLine WRITE setStatusLine)
    Q_PROPERTY(qint16 Timeout READ Timeout WRITE setTimeout)
    Q_PROPERTY(QString TransferredData READ TransferredData WRITE setTransferredData)
    Q_PROPERTY(QString TransferredHeaders READ TransferredHeaders WRITE setTransferredHeaders)
    Q_PROPERTY(QString URL READ URL WRITE setURL)
    Q_PROPERTY(QString URLPath READ URLPath WRITE setURLPath)
    Q_PROPERTY(qint32 URLPort READ URLPort WRITE setURLPort)
    Q_PROPERTY(QString URLScheme READ URLScheme WRITE setURLScheme)
    Q_PROPERTY(QString URLServer READ URLServer WRITE setURLServer)
    Q_PROPERTY(QString User READ User WRITE setUser)
    Q_PROPERTY(QString UserAgent READ UserAgent WRITE setUserAgent)
    Q_PROPERTY(bool UseWinInet READ UseWinInet WRITE setUseWinInet)
    Q_PROPERTY(bool UseWinInetCookies READ UseWinInetCookies WRITE setUseWinInetCookies)
    Q_PROPERTY(QString WinsockInfo READ WinsockInfo WRITE setWinsockInfo)
    Q_PROPERTY(bool WinsockLoaded READ WinsockLoaded WRITE setWinsockLoaded)
    Q_PROPERTY(qint32 WinsockMaxDatagramSize READ WinsockMaxDatagramSize WRITE setWinsockMaxDatagramSize)
    Q_PROPERTY(qint32 WinsockMaxSockets READ WinsockMaxSockets WRITE setWinsockMaxSockets)
    Q_PROPERTY(QString WinsockPath READ WinsockPath)
    Q_PROPERTY(QString WinsockStatus READ WinsockStatus WRITE setWinsockStatus)
    Q_PROPERTY(kelvane::Variant FirewallDataB READ FirewallDataB WRITE setFirewallDataB)
    Q_PROPERTY(kelvane::Variant PostDataB READ PostDataB WRITE setPostDataB)
    Q_PROPERTY(kelvane::Variant TransferredDataB READ TransferredDataB WRITE setTransferredDataB)
    Q_PROPERTY(kelvane::Variant TransferTextB READ TransferTextB WRITE setTransferTextB)

public:
    // TAction, TFirewallType, TFollowRedirects and TProxySSL.
    enum TAction { httpIdle = 0, httpGet = 1, httpPost = 2, httpHead = 3, httpResetHeaders = 4, httpPut = 5 };
    enum TFirewallType { fwNone = 0, fwTunnel = 1, fwSOCKS4 = 2, fwSOCKS5 = 3 };
    enum TFollowRedirects { frNever = 0, frAlways = 1, frSameScheme = 2 };
    enum TProxySSL { psAutomatic = 0, psAlways = 1, psNever = 2, psTunnel = 3 };

    static const QString kProgId;
    static const QString kHelpFile;
    static const QString kProductName;
    static const QString kUserAgent;

    explicit HTTPS(QObject* parent = nullptr);
    ~HTTPS() override;

    // The container's ambient user mode: false while the container is being designed.
    void setUserMode(bool running) { m_userMode = running; }
    bool userMode() const { return m_userMode; }

    QString Accept() const;
    void setAccept(const QString& value);
    qint32 Action() const;
    void setAction(qint32 action);
    QString AttachedFile() const;
    void setAttachedFile(const QString& value);
    QString Authorization() const;
    void setAuthorization(const QString& value);
    bool Connected() const;
    void setConnected(bool);
    QString ContentType() const;
    void setContentType(const QString& value);
    qint16 CookieCount() const;
    void setCookieCount(qint16 count);
    Q_INVOKABLE QString CookieName(qint16 index) const;
    Q_INVOKABLE void setCookieName(qint16 index, const QString& name);
    Q_INVOKABLE QString CookieValue(qint16 index) const;
    Q_INVOKABLE void setCookieValue(qint16 index, const QString& value);
    QString FirewallData() const;
    void setFirewallData(const QString& value);
    QString FirewallHost() const;
    void setFirewallHost(const QString& host);
    QString FirewallPassword() const;
    void setFirewallPassword(const QString& value);
    qint32 FirewallPort() const;
    void setFirewallPort(qint32 port);
    qint32 FirewallType() const;
    void setFirewallType(qint32 type);
    QString FirewallUser() const;
    void setFirewallUser(const QString& value);
    qint32 FollowRedirects() const;
    void setFollowRedirects(qint32 value);
    QString From() const;
    void setFrom(const QString& value);
    QString HTTPMethod() const;
    void setHTTPMethod(const QString& value);
    QString HTTPVersion() const;
    void setHTTPVersion(const QString& value);
    QString IfModifiedSince() const;
    void setIfModifiedSince(const QString& value);
    QString LocalFile() const;
    void setLocalFile(const QString& value);
    QString LocalHost() const;
    void setLocalHost(const QString& host);
    qint32 MaxTransferredData() const;
    void setMaxTransferredData(qint32 value);
    QString OtherHeaders() const;
    void setOtherHeaders(const QString& value);
    QString Password() const;
    void setPassword(const QString& value);
    QString PostData() const;
    void setPostData(const QString& value);
    QString Pragma() const;
    void setPragma(const QString& value);
    QString ProxyAuthorization() const;
    void setProxyAuthorization(const QString& value);
    QString ProxyPassword() const;
    void setProxyPassword(const QString& value);
    qint32 ProxyPort() const;
    void setProxyPort(qint32 port);
    QString ProxyServer() const;
    void setProxyServer(const QString& value);
    qint32 ProxySSL() const;
    void setProxySSL(qint32 value);
    QString ProxyUser() const;
    void setProxyUser(const QString& value);
    QString Referer() const;
    void setReferer(const QString& value);
    qint32 SocketHandle() const;
    void setSocketHandle(qint32);
    qint32 SSLCertHandle() const;
    void setSSLCertHandle(qint32 handle);
    QString SSLCertStore() const;
    void setSSLCertStore(const QString& store);
    QString SSLCertSubject() const;
    void setSSLCertSubject(const QString& subject);
    qint16 SSLCipherStrength() const;
    void setSSLCipherStrength(qint16 bits);
    qint32 SSLEnabledProtocols() const;
    void setSSLEnabledProtocols(qint32 protocols);
    QString SSLProvider() const;
    void setSSLProvider(const QString& provider);
    qint32 SSLSecurityFlags() const;
    void setSSLSecurityFlags(qint32 flags);
    QString StatusLine() const;
    void setStatusLine(const QString&);
    qint16 Timeout() const;
    void setTimeout(qint16 seconds);
    QString TransferredData() const;
    void setTransferredData(const QString&);
    QString TransferredHeaders() const;
    void setTransferredHeaders(const QString&);
    QString URL() const;
    void setURL(const QString& url);
    QString URLPath() const;
    void setURLPath(const QString& value);
    qint32 URLPort() const;
    void setURLPort(qint32 port);
    QString URLScheme() const;
    void setURLScheme(const QString& value);
    QString URLServer() const;
    void setURLServer(const QString& value);
    QString User() const;
    void setUser(const QString& value);
    QString UserAgent() const;
    void setUserAgent(const QString& value);
    bool UseWinInet() const { return m_useWinInet; }
    void setUseWinInet(bool on) { m_useWinInet = on; }
    bool UseWinInetCookies() const;
    void setUseWinInetCookies(bool on);
    QString WinsockInfo() const;
    void setWinsockInfo(const QString&);
    bool WinsockLoaded() const;
    void setWinsockLoaded(bool loaded);
    qint32 WinsockMaxDatagramSize() const;
    void setWinsockMaxDatagramSize(qint32);
    qint32 WinsockMaxSockets() const;
    void setWinsockMaxSockets(qint32);
    QString WinsockPath() const;
    QString WinsockStatus() const;
    void setWinsockStatus(const QString&);
    kelvane::Variant FirewallDataB() const;
    void setFirewallDataB(const kelvane::Variant& bytes);
    kelvane::Variant PostDataB() const;
    void setPostDataB(const kelvane::Variant& bytes);
    kelvane::Variant TransferredDataB() const;
    void setTransferredDataB(const kelvane::Variant&);
    kelvane::Variant TransferTextB() const;
    void setTransferTextB(const kelvane::Variant&);

    Q_INVOKABLE void AboutBox();
    Q_INVOKABLE void AddCookie(const QString& CookieName, const QString& CookieValue);
    Q_INVOKABLE void DoEvents();
    Q_INVOKABLE void Get(const QString& URL);
    Q_INVOKABLE void Head(const QString& URL);
    Q_INVOKABLE void Interrupt();
    Q_INVOKABLE void Post(const QString& URL);
    Q_INVOKABLE void Put(const QString& URL);
    Q_INVOKABLE void ResetHeaders();

    // For hosts in this process: the bytes as they are, without conversions.
    const QByteArray& transferredBytes() const { return m_engine.TransferredData(); }
    void setPostBytes(const QByteArray& bytes) { m_engine.PostData = bytes; }
    HttpEngine& engine() { return m_engine; }

    // Saved properties, in the order they are saved and loaded. Loading restores each value
    // as it was saved, without what writing the property would also change.
    static QList<platform::automation::PersistedProperty> persistedProperties();
    void WriteProperties(platform::automation::PropertyBag& bag) const;
    void ReadProperties(const platform::automation::PropertyBag& bag);

Q_SIGNALS:
    void Connected(qint16& StatusCode, QString& Description);
    void Disconnected(qint16& StatusCode, QString& Description);
    void EndTransfer(qint16& Direction);
    void Error(qint16& ErrorCode, QString& Description);
    void Header(QString& Field, QString& Value);
    void SetCookie(QString& Name, QString& Value, QString& Expires, QString& Domain, QString& Path, bool& Secure);
    void SSLServerAuthentication(qint32& CertHandle, QString& CertSubject, QString& CertIssuer, QString& Status,
                                 bool& Accept);
    void SSLStatus(QString& Message);
    void StartTransfer(qint16& Direction);
    void Transfer(qint16& Direction, qint32& BytesTransferred, QString& Text);

private:
    // EngineEvents, raised as the control's events.
    void connected(int code, const QByteArray& text) override;
    void disconnected(int code, const QByteArray& text) override;
    void error(int code, const QByteArray& text) override;
    void header(const QByteArray& field, const QByteArray& value) override;
    void setCookie(const QByteArray& name, const QByteArray& value, const QByteArray& expires, const QByteArray& domain,
                   const QByteArray& path, bool secure) override;
    void startTransfer(int direction) override;
    void transfer(int direction, qint64 bytesSoFar, const QByteArray& data) override;
    void endTransfer(int direction) override;
    void sslStatus(const QByteArray& message) override;
    void sslServerAuthentication(qint32 certificateHandle, const QByteArray& subject, const QByteArray& issuer,
                                 const QByteArray& status, bool& accept) override;

    void runTime() const;
    // Raises the engine's failure `code` as an automation error; nothing for 0.
    void report(int code, int dispId) const;
    [[noreturn]] void raise(int number, const QString& description, int dispId = 0) const;
    void runMethod(int action, const QString& url, int helpContext);
    int dispatchAction(int action);
    void requireRange(qint32 value, qint32 least, qint32 most, int dispId) const;
    void put(QByteArray& field, const QString& value);

    HttpEngine m_engine;
    std::unique_ptr<WinInetTransport> m_winInet;
    bool m_userMode = true;
    bool m_useWinInet = false;
    const QByteArray* m_firingChunk = nullptr; // the data of the Transfer event being fired
    QString m_transferText;                    // its text
};

} // namespace kelvane::plexant
