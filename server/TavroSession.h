#pragma once

#include "model/MD5.h"

#include <QString>

namespace kelvane {

// The session with the knowledge server: the client GUID the server knows this run by, and
// the session key, which rolls forward once for every reply whose key proves that the server
// knows the session. One session serves every window that talks to the server.
class TavroSession {
public:
    QString ClientGUID() const { return m_clientGUID; }
    QString SessionKey() const { return m_sessionKey; }

    // Starts a new session: a new client GUID, and no key yet, so the first reply's key is
    // taken as it comes (a key left by an earlier, failed session would fail every check).
    void NewClientGUID();

    // The upper-case hexadecimal MD5 of the client GUID, the user's logon name in upper case
    // and `s`, joined in that order, each character as its byte in the ANSI code page;
    // Overflow for a character that code page lacks.
    QString TavroKeyHash(const QString& s);

    // The digest can be taken of `s`: each of its characters has a byte in the ANSI code page.
    static bool Digestible(const QString& s);

    // The user's logon name can go into the key digest; when it cannot, no session can be
    // opened and the user is told so (false).
    bool CheckUserName() const;

    // Checks the key of a reply and rolls the session key: while a key is held, the reply
    // must carry the digest of that key (trimmed of blanks), else the user is told that the
    // response is invalid and the key stays as it was (false). A reply key that cannot be
    // digested is invalid in the same way. Accepted, the session key becomes the digest of
    // the reply's key.
    bool VerifyReplyKey(const QString& replyKey);

    // A reply of an anonymous session: its key is taken as the session key, unchecked, when it
    // can be digested; otherwise the response is invalid, as above (false).
    bool AcceptAnonymousKey(const QString& replyKey);

private:
    static void TellInvalidResponse();

    QString m_clientGUID;
    QString m_sessionKey;
    MD5 m_md5;
};

} // namespace kelvane
