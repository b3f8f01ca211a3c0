#include "https/PlexantTypeLibrary.h"

namespace kelvane::plexant {

using namespace platform::automation;

namespace {

QUuid id(const char16_t* text) { return QUuid::fromString(QStringView(text)); }

// Help contexts: 21800 + the identifier for properties, except the byte forms.
quint32 propertyHelp(DispId dispId)
{
    switch (dispId) {
    case 62: return 21801;
    case 63: return 21802;
    case 64: return 21803;
    case 65: return 31810;
    default: return 21800 + quint32(dispId);
    }
}

MemberDescription property(const char* name, DispId dispId, ValueType type, Access access = Access::ReadWrite,
                           QList<ParameterDescription> indexes = {})
{
    MemberDescription member = propertyMember(QString::fromLatin1(name), dispId, type, access, std::move(indexes));
    member.helpContext = propertyHelp(dispId);
    return member;
}

MemberDescription method(const char* name, DispId dispId, quint32 helpContext, QList<ParameterDescription> parameters = {})
{
    MemberDescription member = methodMember(QString::fromLatin1(name), dispId, ValueType::Void, std::move(parameters));
    member.helpContext = helpContext;
    return member;
}

ParameterDescription byRef(const char* name, ValueType type) { return parameter(QString::fromLatin1(name), type, true); }

InterfaceDescription httpsInterface()
{
    const ValueType S = ValueType::String;
    const ValueType B = ValueType::Boolean;
    const ValueType I2 = ValueType::Integer;
    const ValueType I4 = ValueType::Long;
    const ValueType V = ValueType::Variant;
    const QList<ParameterDescription> cookieIndex {parameter(QStringLiteral("Index"), I2)};
    return InterfaceDescription {
        .name = QStringLiteral("IHTTPS"),
        .id = id(u"{6F1C2A90-3B7E-4D25-9A61-2C8E5B0D7F14}"),
        .dual = true,
        .helpString = QStringLiteral("IHTTPS Interface"),
        .members = {property("Accept", 1, S),
                    property("Action", 2, I4),
                    property("AttachedFile", 3, S),
                    property("Authorization", 4, S),
                    property("Connected", 5, B),
                    property("ContentType", 6, S),
                    property("CookieCount", 7, I2),
                    property("CookieName", 8, S, Access::ReadWrite, cookieIndex),
                    property("CookieValue", 9, S, Access::ReadWrite, cookieIndex),
                    property("FirewallData", 10, S),
                    property("FirewallHost", 11, S),
                    property("FirewallPassword", 12, S),
                    property("FirewallPort", 13, I4),
                    property("FirewallType", 14, I4),
                    property("FirewallUser", 15, S),
                    property("FollowRedirects", 16, I4),
                    property("From", 17, S),
                    property("HTTPMethod", 18, S),
                    property("HTTPVersion", 19, S),
                    property("IfModifiedSince", 20, S),
                    property("LocalFile", 21, S),
                    property("LocalHost", 22, S),
                    property("MaxTransferredData", 23, I4),
                    property("OtherHeaders", 24, S),
                    property("Password", 25, S),
                    property("PostData", 26, S),
                    property("Pragma", 27, S),
                    property("ProxyAuthorization", 28, S),
                    property("ProxyPassword", 29, S),
                    property("ProxyPort", 30, I4),
                    property("ProxyServer", 31, S),
                    property("ProxySSL", 32, I4),
                    property("ProxyUser", 33, S),
                    property("Referer", 34, S),
                    property("SocketHandle", 35, I4),
                    property("SSLCertHandle", 36, I4),
                    property("SSLCertStore", 37, S),
                    property("SSLCertSubject", 38, S),
                    property("SSLCipherStrength", 39, I2),
                    property("SSLEnabledProtocols", 40, I4),
                    property("SSLProvider", 41, S),
                    property("SSLSecurityFlags", 42, I4),
                    property("StatusLine", 43, S),
                    property("Timeout", 44, I2),
                    property("TransferredData", 45, S),
                    property("TransferredHeaders", 46, S),
                    property("URL", 47, S),
                    property("URLPath", 48, S),
                    property("URLPort", 49, I4),
                    property("URLScheme", 50, S),
                    property("URLServer", 51, S),
                    property("User", 52, S),
                    property("UserAgent", 53, S),
                    property("UseWinInet", 54, B),
                    property("UseWinInetCookies", 55, B),
                    property("WinsockInfo", 56, S),
                    property("WinsockLoaded", 57, B),
                    property("WinsockMaxDatagramSize", 58, I4),
                    property("WinsockMaxSockets", 59, I4),
                    property("WinsockPath", 60, S, Access::ReadOnly),
                    property("WinsockStatus", 61, S),
                    property("FirewallDataB", 62, V),
                    property("PostDataB", 63, V),
                    property("TransferredDataB", 64, V),
                    property("TransferTextB", 65, V),
                    method("AboutBox", -552, 0),
                    method("AddCookie", 501, 41801,
                           {parameter(QStringLiteral("CookieName"), S), parameter(QStringLiteral("CookieValue"), S)}),
                    method("DoEvents", 502, 41802),
                    method("Get", 503, 41803, {parameter(QStringLiteral("URL"), S)}),
                    method("Head", 504, 41804, {parameter(QStringLiteral("URL"), S)}),
                    method("Interrupt", 505, 41805),
                    method("Post", 506, 41806, {parameter(QStringLiteral("URL"), S)}),
                    method("Put", 507, 41807, {parameter(QStringLiteral("URL"), S)}),
                    method("ResetHeaders", 508, 41808)}};
}

InterfaceDescription eventInterface()
{
    const ValueType S = ValueType::String;
    const ValueType B = ValueType::Boolean;
    const ValueType I2 = ValueType::Integer;
    const ValueType I4 = ValueType::Long;
    return InterfaceDescription {
        .name = QStringLiteral("_IHTTPSEvents"),
        .id = id(u"{0B7D3E55-8C21-4F6A-B394-71D2E6A8C035}"),
        .events = true,
        .helpString = QStringLiteral("_IHTTPSEvents Interface"),
        .members = {eventMember(QStringLiteral("Connected"), 1, {byRef("StatusCode", I2), byRef("Description", S)}),
                    eventMember(QStringLiteral("Disconnected"), 2, {byRef("StatusCode", I2), byRef("Description", S)}),
                    eventMember(QStringLiteral("EndTransfer"), 3, {byRef("Direction", I2)}),
                    eventMember(QStringLiteral("Error"), 4, {byRef("ErrorCode", I2), byRef("Description", S)}),
                    eventMember(QStringLiteral("Header"), 5, {byRef("Field", S), byRef("Value", S)}),
                    eventMember(QStringLiteral("SetCookie"), 6,
                                {byRef("Name", S), byRef("Value", S), byRef("Expires", S), byRef("Domain", S),
                                 byRef("Path", S), byRef("Secure", B)}),
                    eventMember(QStringLiteral("SSLServerAuthentication"), 7,
                                {byRef("CertHandle", I4), byRef("CertSubject", S), byRef("CertIssuer", S),
                                 byRef("Status", S), byRef("Accept", B)}),
                    eventMember(QStringLiteral("SSLStatus"), 8, {byRef("Message", S)}),
                    eventMember(QStringLiteral("StartTransfer"), 9, {byRef("Direction", I2)}),
                    eventMember(QStringLiteral("Transfer"), 10,
                                {byRef("Direction", I2), byRef("BytesTransferred", I4), byRef("Text", S)})}};
}

} // namespace

TypeLibraryDescription typeLibrary()
{
    return TypeLibraryDescription {
        .name = QStringLiteral("HTTPSLib"),
        .id = id(u"{9E4B7C12-5D83-4A0F-8B26-E1C7A3F95D48}"),
        .majorVersion = 1,
        .minorVersion = 0,
        .helpString = QStringLiteral("Plexant HTTPS Control 1.0 Type Library"),
        .helpFile = QStringLiteral("netbrookssl.chm"),
        .interfaces = {httpsInterface(), eventInterface()},
        .classes = {ClassDescription {.name = QStringLiteral("HTTPS"),
                                      .id = id(u"{3C8F1D64-A2B9-4E07-96D5-58B0E4C2A719}"),
                                      .defaultInterface = QStringLiteral("IHTTPS"),
                                      .eventInterface = QStringLiteral("_IHTTPSEvents"),
                                      .control = true,
                                      .helpString = QStringLiteral("Plexant HTTPS Control")}}};
}

ClassRegistration httpsRegistration()
{
    ClassRegistration registration;
    registration.className = QStringLiteral("HTTPS");
    registration.displayName = QStringLiteral("Plexant HTTPS Control");
    registration.progId = QStringLiteral("NetbrookSSL.HTTPS.1");
    registration.versionIndependentProgId = QStringLiteral("NetbrookSSL.HTTPS");
    registration.otherProgIds = {QStringLiteral("NetbrookSSL5.HTTPS")};
    registration.threadingModel = QStringLiteral("Apartment");
    registration.version = QStringLiteral("1.0");
    registration.miscStatus = 132497;
    registration.toolboxBitmap = kToolboxImage;
    registration.markerKeys = {QStringLiteral("Programmable"), QStringLiteral("Control"), QStringLiteral("Insertable"),
                               QStringLiteral("Windows CE Control")};
    // Safe for scripting and safe for initialisation.
    registration.implementedCategories = {id(u"{7DD95801-9882-11CF-9FA9-00AA006C42C4}"),
                                          id(u"{7DD95802-9882-11CF-9FA9-00AA006C42C4}")};
    return registration;
}

} // namespace kelvane::plexant
