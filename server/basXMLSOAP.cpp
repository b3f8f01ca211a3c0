#include "server/basXMLSOAP.h"

#include "model/basLibrary.h"
#include "platform/RuntimeError.h"
#include "server/MessageText.h"
#include "server/ReplyElements.h"
#include "server/TavroSession.h"

namespace basXMLSOAP {

using kelvane::server::escapeValue;
using kelvane::server::kCRLF;
using kelvane::server::ReplyElement;
namespace replyelements = kelvane::server::replyelements;

namespace {

const QString kXMLDeclaration = QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>");
const QString kDocumentType = QStringLiteral("<!DOCTYPE kelvanedocument>");

// The envelope around one operation of the authorization module.
QString envelope(const QString& operation, const QString& fields)
{
    return QStringLiteral("<SOAP:Envelope xmlns:SOAP=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                          "<SOAP:Header></SOAP:Header><SOAP:Body><m:")
        + operation + QStringLiteral(" xmlns:m=\"urn:soapserver/soap:AuthorizationModule\">") + fields
        + QStringLiteral("</m:") + operation + QStringLiteral("></SOAP:Body></SOAP:Envelope>");
}

QString field(const QString& name, const QString& value)
{
    return u'<' + name + u'>' + value + QStringLiteral("</") + name + u'>';
}

QString fileObjectFields(const QString& key, const QString& guid, const QString& lock)
{
    return field(QStringLiteral("Key"), escapeValue(key)) + field(QStringLiteral("FileObjectGUID"), escapeValue(guid))
        + field(QStringLiteral("Lock"), escapeValue(lock));
}

ReplyElement required(const std::optional<ReplyElement>& element)
{
    if (!element)
        kelvane::raiseError(kelvane::err::ObjectNotSet,
                            QStringLiteral("The knowledge server's reply lacks an element it should hold."));
    return *element;
}

} // namespace

QString BuildSoapConnect(const QString& guid)
{
    return envelope(QStringLiteral("Connect"), field(QStringLiteral("GUID"), escapeValue(guid)));
}

QString BuildSoapGetFileObject(const QString& key, const QString& guid, const QString& lock)
{
    return envelope(QStringLiteral("GetFileObject"), fileObjectFields(key, guid, lock));
}

QString BuildSoapPutFileObject(const QString& key, const QString& guid, QString& document, const QString& lock)
{
    document = basLibrary::ReplaceAll(document, kXMLDeclaration, QString());
    document = basLibrary::ReplaceAll(document, kDocumentType, QString());
    return envelope(QStringLiteral("PutFileObject"),
                    fileObjectFields(key, guid, lock) + field(QStringLiteral("FileObject"), document));
}

QString ParseSoapResponse(TavroSession& session, const QString& text)
{
    const std::optional<ReplyElement> body = replyelements::select(text, u"SOAP:Envelope/SOAP:Body");
    if (!body)
        return {};

    enum class Result { None, LogonText, FileMarkup, FolderMarkup };
    struct Response {
        QStringView element;
        Result result;
    };
    static constexpr Response kResponses[] = {
        {u"m:ConnectResponse", Result::None},
        {u"m:LogonResponse", Result::LogonText},
        {u"m:GetFileObjectResponse", Result::FileMarkup},
        {u"m:GetFolderObjectResponse", Result::FolderMarkup},
        {u"m:PutFileObjectResponse", Result::None},
    };
    for (const Response& response : kResponses) {
        const std::optional<ReplyElement> element = replyelements::child(body->content, response.element);
        if (!element)
            continue;
        // Texts are read as an XML reader gives them: the line breaks and blanks that lay the
        // reply out around a value are not part of it.
        const QString key = replyelements::trimmedText(required(replyelements::child(element->content, u"Key")));
        const QString anomynous = replyelements::trimmedText(required(replyelements::child(element->content, u"Anomynous")));
        if (!VerifyServerKey(session, key, anomynous))
            return {};
        switch (response.result) {
        case Result::None:
            return {};
        case Result::LogonText:
            return replyelements::trimmedText(required(replyelements::child(element->content, u"LogonResult")));
        case Result::FileMarkup:
            return kXMLDeclaration + kCRLF + kDocumentType + kCRLF
                + required(replyelements::select(element->content, u"GetFileObjectResult/File")).markup.toString();
        case Result::FolderMarkup:
            return required(replyelements::select(element->content, u"GetFolderObjectResult/Folder")).markup.toString();
        }
    }
    return {};
}

bool VerifyServerKey(TavroSession& session, const QString& key, const QString& anomynous)
{
    if (anomynous.toUpper() == u"TRUE")
        return session.AcceptAnonymousKey(key);
    return session.VerifyReplyKey(key);
}

} // namespace basXMLSOAP
