#pragma once

#include <QString>

namespace kelvane {
class TavroSession;
}

// The XML-RPC methods of the knowledge server ("tavro.connect", "tavro.logon",
// "tavro.logoff", "tavro.read", "tavro.write") and the reader of their replies. Requests are
// built as text with the values untyped; every value is escaped.
namespace basXMLRPC {

using kelvane::TavroSession;

// Opens a session: the client GUID.
QString BuildTavroConnect(const TavroSession& session);
// Logs on and off with the session key.
QString BuildTavroLogon(const TavroSession& session);
QString BuildTavroLogoff(const TavroSession& session);
// The folder listing (guid empty: the root) or a document, with the lock flag ("false").
QString BuildTavroRead(const TavroSession& session, const QString& guid, const QString& lock);
// A document written back under its GUID and path.
QString BuildTavroWrite(const TavroSession& session, const QString& guid, const QString& xml, const QString& lock,
                        const QString& path);

// The result of a reply: while the session has no key yet (the reply to "tavro.connect"),
// the reply's key itself; afterwards the "xml" member (line feeds turned into carriage
// returns), or empty when the reply has none. Member names are compared in any letter case
// and values read as plain or string-typed text, each unescaped once. A reply that is not an
// XML-RPC response gives an empty text and leaves the session as it was; a reply whose key
// fails the check shows the invalid-response message and gives an empty text.
QString ParseTavroResponse(TavroSession& session, const QString& text);

} // namespace basXMLRPC
