#pragma once

#include <QString>

namespace kelvane {
class TavroSession;
}

// The SOAP 1.1 operations of the knowledge server's authorization module and the reader of
// their replies. Requests are one line of text; the key, GUID and lock values are escaped,
// a document travels as markup inside "FileObject".
namespace basXMLSOAP {

using kelvane::TavroSession;

QString BuildSoapConnect(const QString& guid);
QString BuildSoapGetFileObject(const QString& key, const QString& guid, const QString& lock);
// `document` loses its XML declaration and document type lines (the line ends after them
// stay) and is handed back so.
QString BuildSoapPutFileObject(const QString& key, const QString& guid, QString& document, const QString& lock);

// The result of a reply, found by the literal prefixes "SOAP" and "m": the logon result's
// text (its key, anonymous flag and logon result read without the white space around them); for a document, the XML declaration and document type lines followed by the "File"
// element as the reply holds it; for a folder, the "Folder" element; empty for the other
// responses, for a reply that holds none of them and when the key check fails. A response
// without "Key" or "Anomynous", or without the result it should carry, raises ObjectNotSet.
QString ParseSoapResponse(TavroSession& session, const QString& text);

// An anonymous reply's key becomes the session key unchecked (TavroSession::AcceptAnonymousKey);
// any other is checked and rolled (TavroSession::VerifyReplyKey). False when the check failed.
bool VerifyServerKey(TavroSession& session, const QString& key, const QString& anomynous);

} // namespace basXMLSOAP
