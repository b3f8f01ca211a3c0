#include "network/StoredPassword.h"

#include "model/basGlobal.h"
#include "platform/RuntimeError.h"
#include "platform/TextEncoding.h"
#include "platform/UiServices.h"

namespace kelvane::StoredPassword {

namespace {
int keyCode() { return kPasswordScramblingKey.unicode(); }
} // namespace

QString Scramble(const QString& password)
{
    QString digits;
    digits.reserve(password.size() * 3);
    for (const char byte : platform::encoding::toAnsi(password)) {
        const int code = static_cast<unsigned char>(byte) ^ keyCode();
        digits += QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0'));
    }
    return digits;
}

QString Unscramble(const QString& digits)
{
    QByteArray bytes;
    for (qsizetype at = 0; at < digits.size(); at += 3) {
        const QString group = digits.mid(at, 3);
        for (const QChar c : group) {
            if (c < u'0' || c > u'9')
                raiseError(err::TypeMismatch);
        }
        const int code = group.toInt() ^ keyCode();
        if (code > 255)
            raiseError(err::InvalidProcedureCall);
        bytes.append(static_cast<char>(code));
    }
    return platform::encoding::fromAnsi(bytes);
}

bool EditorPasswordSkipped()
{
    return basGlobal::ApplicationMode == 1 || basGlobal::ApplicationMode == 9;
}

bool Confirm(const QString& password, const QString& caption, const QString& title)
{
    auto& ui = platform::ui();
    basGlobal::EnteredPassword.clear();
    ui.setBusyPointer(false);
    const auto typed = ui.prompt(platform::PromptKind::Password, caption, QString());
    if (typed)
        basGlobal::EnteredPassword = *typed;
    ui.yield();
    ui.setBusyPointer(true);
    if (typed && basGlobal::EnteredPassword.toUpper() == password.toUpper())
        return true;
    ui.messageBox(QStringLiteral("Access denied"), platform::msgbox::Critical, title);
    return false;
}

} // namespace kelvane::StoredPassword
