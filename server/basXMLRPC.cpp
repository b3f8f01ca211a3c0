#include "server/basXMLRPC.h"

#include "server/MessageText.h"
#include "server/ReplyElements.h"
#include "server/TavroSession.h"

namespace basXMLRPC {

using kelvane::server::escapeValue;
using kelvane::server::kCRLF;
using kelvane::server::ReplyElement;
namespace replyelements = kelvane::server::replyelements;

namespace {

QString member(const QString& name, const QString& value)
{
    return QStringLiteral("<member><name>") + name + QStringLiteral("</name><value>") + escapeValue(value)
        + QStringLiteral("</value></member>");
}

QString structValue(const QString& members)
{
    return QStringLiteral("<value><struct>") + members + QStringLiteral("</struct></value>");
}

QString methodCall(const QString& method, const QString& param)
{
    return QStringLiteral("<?xml version=\"1.0\"?><methodCall><methodName>") + method
        + QStringLiteral("</methodName><params><param>") + param + QStringLiteral("</param></params></methodCall>");
}

QString keyOnlyCall(const QString& method, const TavroSession& session)
{
    return methodCall(method, structValue(member(QStringLiteral("key"), session.SessionKey())));
}

// The text of a member's value: plain, or wrapped in a "string" type element.
QString valueText(const ReplyElement& value)
{
    const QList<ReplyElement> typed = replyelements::children(value.content);
    if (typed.size() == 1 && typed.first().name == u"string" && value.content.trimmed() == typed.first().markup)
        return replyelements::text(typed.first());
    return replyelements::text(value);
}

} // namespace

QString BuildTavroConnect(const TavroSession& session)
{
    return methodCall(QStringLiteral("tavro.connect"), structValue(member(QStringLiteral("GUID"), session.ClientGUID())));
}

QString BuildTavroLogon(const TavroSession& session) { return keyOnlyCall(QStringLiteral("tavro.logon"), session); }

QString BuildTavroLogoff(const TavroSession& session) { return keyOnlyCall(QStringLiteral("tavro.logoff"), session); }

QString BuildTavroRead(const TavroSession& session, const QString& guid, const QString& lock)
{
    const QString members = member(QStringLiteral("guid"), guid) + member(QStringLiteral("lock"), lock)
        + member(QStringLiteral("key"), session.SessionKey());
    return methodCall(QStringLiteral("tavro.read"), kCRLF + structValue(members) + kCRLF);
}

QString BuildTavroWrite(const TavroSession& session, const QString& guid, const QString& xml, const QString& lock,
                        const QString& path)
{
    // Each member opens on a line of its own; a few close after a line end.
    const auto writeMember = [](const QString& name, const QString& value, const QString& after) {
        return QStringLiteral("<member>") + kCRLF + QStringLiteral("<name>") + name + QStringLiteral("</name><value>")
            + escapeValue(value) + QStringLiteral("</value>") + after + QStringLiteral("</member>");
    };
    const QString members = writeMember(QStringLiteral("guid"), guid, kCRLF)
        + writeMember(QStringLiteral("xml"), xml, QString()) + writeMember(QStringLiteral("path"), path, QString())
        + writeMember(QStringLiteral("lock"), lock, kCRLF)
        + writeMember(QStringLiteral("key"), session.SessionKey(), kCRLF);
    return methodCall(QStringLiteral("tavro.write"), kCRLF + structValue(members) + kCRLF);
}

QString ParseTavroResponse(TavroSession& session, const QString& text)
{
    const std::optional<ReplyElement> response = replyelements::select(text, u"methodResponse");
    if (!response || response->content.isEmpty())
        return {};

    QString receivedKey;
    QString payload;
    if (const auto members = replyelements::select(response->content, u"params/param/value/struct")) {
        for (const ReplyElement& item : replyelements::children(members->content)) {
            if (item.name != u"member")
                continue;
            const auto name = replyelements::child(item.content, u"name");
            const auto value = replyelements::child(item.content, u"value");
            const QString memberName = name ? replyelements::text(*name).toUpper() : QString();
            const QString memberValue = value ? valueText(*value) : QString();
            if (memberName == u"KEY")
                receivedKey = QString(memberValue).remove(u'\r').remove(u'\n');
            else if (memberName == u"XML")
                payload = QString(memberValue).replace(u'\n', u'\r');
        }
    }

    const bool firstReply = session.SessionKey().isEmpty();
    if (!session.VerifyReplyKey(receivedKey))
        return {};
    return firstReply ? receivedKey : payload;
}

} // namespace basXMLRPC
