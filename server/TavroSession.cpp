#include "server/TavroSession.h"

#include "model/basLibrary.h"
#include "platform/UiServices.h"

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

bool TavroSession::VerifyReplyKey(const QString& replyKey)
{
    if (!m_sessionKey.isEmpty() && TavroKeyHash(basLibrary::TrimBlanks(m_sessionKey)) != replyKey) {
        platform::ui().messageBox(
            QStringLiteral("Invalid response from server, please contact knowledge server administrator"),
            platform::msgbox::OKOnly | platform::msgbox::Critical, platform::applicationTitle());
        return false;
    }
    m_sessionKey = TavroKeyHash(replyKey);
    return true;
}

} // namespace kelvane
