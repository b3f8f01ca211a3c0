#include "server/TavroSession.h"

#include "model/basLibrary.h"
#include "platform/TextEncoding.h"
#include "platform/UiServices.h"

#include <algorithm>

namespace kelvane {

void TavroSession::NewClientGUID()
{
    m_clientGUID = basLibrary::NewGUIDString();
    m_sessionKey.clear();
}

QString TavroSession::TavroKeyHash(const QString& s)
{
    return m_md5.DigestStrToHexStr(m_clientGUID + basLibrary::GetWindowsUserName().toUpper() + s);
}

bool TavroSession::Digestible(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return platform::encoding::ansiCode(c) >= 0; });
}

bool TavroSession::CheckUserName() const
{
    const QString user = basLibrary::GetWindowsUserName();
    if (Digestible(user.toUpper()))
        return true;
    platform::ui().messageBox(QStringLiteral("The user name \"%1\" cannot log on to the knowledge server: the server's "
                                             "keys take only characters of the Western European (Windows-1252) set.")
                                  .arg(user),
                              platform::msgbox::Exclamation, platform::applicationTitle());
    return false;
}

void TavroSession::TellInvalidResponse()
{
    platform::ui().messageBox(QStringLiteral("Invalid response from server, please contact knowledge server administrator"),
                              platform::msgbox::OKOnly | platform::msgbox::Critical, platform::applicationTitle());
}

bool TavroSession::VerifyReplyKey(const QString& replyKey)
{
    // A key the digest cannot take proves nothing, and held it would fail every later check.
    if (!Digestible(replyKey) || !Digestible(basLibrary::GetWindowsUserName().toUpper())
        || (!m_sessionKey.isEmpty() && TavroKeyHash(basLibrary::TrimBlanks(m_sessionKey)) != replyKey)) {
        TellInvalidResponse();
        return false;
    }
    m_sessionKey = TavroKeyHash(replyKey);
    return true;
}

bool TavroSession::AcceptAnonymousKey(const QString& replyKey)
{
    if (!Digestible(replyKey)) {
        TellInvalidResponse();
        return false;
    }
    m_sessionKey = replyKey;
    return true;
}

} // namespace kelvane
