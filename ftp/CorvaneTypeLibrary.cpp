#include "ftp/CorvaneTypeLibrary.h"

#include "ftp/CorvaneResources.h"

namespace kelvane::ftp {

using namespace platform::automation;

namespace {

QUuid id(const char16_t* text) { return QUuid::fromString(QStringView(text)); }

// Set-client-site-first, invisible at run time, activate when visible, inside-out,
// can't link inside, recompose on resize.
constexpr quint32 kMiscStatus = 0x20591;

// Every property is readable and writable through the interface, as the framework declares
// them; the control itself refuses writes of read-only ones and reads of write-only ones.
MemberDescription text(const char* name, DispId dispId)
{
    return propertyMember(QString::fromLatin1(name), dispId, ValueType::String);
}

ParameterDescription byReference(const char* name, ValueType type)
{
    return parameter(QString::fromLatin1(name), type, true);
}

} // namespace

TypeLibraryDescription typeLibrary()
{
    const InterfaceDescription properties {
        .name = QStringLiteral("_DFTP"),
        .id = id(u"{8B7D0C21-5E3A-4F6B-9C12-3A4D5E6F7081}"),
        .hidden = true,
        .helpString = QStringLiteral("Dispatch interface for FTP Control"),
        .members = {
            text("WinsockInfo", 1),
            text("WinsockStatus", 2),
            text("WinsockPath", 3),
            propertyMember(QStringLiteral("WinsockLoaded"), 4, ValueType::Boolean),
            propertyMember(QStringLiteral("WinsockMaxSockets"), 5, ValueType::Long),
            propertyMember(QStringLiteral("WinsockMaxDatagramSize"), 6, ValueType::Long),
            text("LocalHost", 7),
            text("RemoteHost", 8),
            propertyMember(QStringLiteral("RemotePort"), 9, ValueType::Long),
            text("User", 10),
            text("Password", 11),
            text("RemotePath", 12),
            text("LocalFile", 13),
            text("RemoteFile", 14),
            text("AltFile", 15),
            propertyMember(QStringLiteral("TransferMode"), 16, ValueType::Integer),
            propertyMember(QStringLiteral("Action"), 17, ValueType::Integer),
            text("LastReply", 18),
            propertyMember(QStringLiteral("Passive"), 19, ValueType::Boolean),
            text("Command", 20),
            propertyMember(QStringLiteral("SocketHandle"), 21, ValueType::Long),
            propertyMember(QStringLiteral("StartByte"), 22, ValueType::Long),
        }};

    const InterfaceDescription events {
        .name = QStringLiteral("_DFTPEvents"),
        .id = id(u"{8B7D0C22-5E3A-4F6B-9C12-3A4D5E6F7081}"),
        .events = true,
        .hidden = true,
        .helpString = QStringLiteral("Event interface for FTP Control"),
        .members = {
            eventMember(QStringLiteral("Error"), 1,
                        {byReference("ErrorCode", ValueType::Integer), byReference("Description", ValueType::String)}),
            eventMember(QStringLiteral("PITrail"), 2,
                        {byReference("Direction", ValueType::Integer), byReference("Message", ValueType::String)}),
            eventMember(QStringLiteral("StartTransfer"), 3),
            eventMember(QStringLiteral("Transfer"), 4,
                        {byReference("BytesTransferred", ValueType::Long), byReference("Text", ValueType::String)}),
            eventMember(QStringLiteral("EndTransfer"), 5),
            eventMember(QStringLiteral("DirList"), 6, {byReference("DirEntry", ValueType::String)}),
        }};

    return TypeLibraryDescription {
        .name = QStringLiteral("FTPLib"),
        .id = id(u"{8B7D0C20-5E3A-4F6B-9C12-3A4D5E6F7081}"),
        .majorVersion = 1,
        .minorVersion = 0,
        .helpString = QStringLiteral("FTP OLE Control module"),
        .interfaces = {properties, events},
        .classes = {ClassDescription {.name = QStringLiteral("FTP"),
                                      .id = id(u"{8B7D0C23-5E3A-4F6B-9C12-3A4D5E6F7081}"),
                                      .defaultInterface = QStringLiteral("_DFTP"),
                                      .eventInterface = QStringLiteral("_DFTPEvents"),
                                      .control = true,
                                      .helpString = QStringLiteral("FTP Control")}}};
}

ClassRegistration ftpRegistration()
{
    ClassRegistration registration;
    registration.className = QStringLiteral("FTP");
    registration.progId = QStringLiteral("FTP.FTPCtrl.3");
    registration.miscStatus = kMiscStatus;
    registration.toolboxBitmap = kToolboxImage;
    registration.markerKeys = {QStringLiteral("Control")};
    return registration;
}

} // namespace kelvane::ftp
