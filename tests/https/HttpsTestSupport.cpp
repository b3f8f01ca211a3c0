#include "tests/https/HttpsTestSupport.h"

#include "https/VariantArray.h"

namespace kelvane::test {

using plexant::HTTPS;

EventLog::EventLog(HTTPS& control)
    : m_control(control)
{
    const auto add = [this](const QString& line) { lines.append(line); };
    QObject::connect(&control, qOverload<qint16&, QString&>(&HTTPS::Connected), &control,
                     [add](qint16& code, QString& text) { add(QStringLiteral("Connected %1 %2").arg(code).arg(text)); });
    QObject::connect(&control, &HTTPS::Disconnected, &control,
                     [add](qint16& code, QString& text) { add(QStringLiteral("Disconnected %1 %2").arg(code).arg(text)); });
    QObject::connect(&control, &HTTPS::Error, &control,
                     [add](qint16& code, QString& text) { add(QStringLiteral("Error %1 %2").arg(code).arg(text)); });
    QObject::connect(&control, &HTTPS::Header, &control, [this, add](QString& field, QString& value) {
        add(QStringLiteral("Header %1: %2").arg(field, value));
        if (onHeader)
            onHeader();
    });
    QObject::connect(&control, &HTTPS::SetCookie, &control,
                     [add](QString& name, QString& value, QString& expires, QString& domain, QString& path, bool& secure) {
                         add(QStringLiteral("SetCookie %1=%2 expires=%3 domain=%4 path=%5 secure=%6")
                                 .arg(name, value, expires, domain, path)
                                 .arg(secure));
                     });
    QObject::connect(&control, &HTTPS::SSLStatus, &control,
                     [add](QString& message) { add(QStringLiteral("SSLStatus ") + message); });
    QObject::connect(&control, &HTTPS::SSLServerAuthentication, &control,
                     [this, add](qint32& handle, QString& subject, QString& issuer, QString& status, bool& accept) {
                         add(QStringLiteral("SSLServerAuthentication %1 | %2 | %3 | %4")
                                 .arg(subject, issuer, status)
                                 .arg(accept));
                         if (acceptCertificate)
                             accept = *acceptCertificate;
                         Q_UNUSED(handle);
                     });
    QObject::connect(&control, &HTTPS::StartTransfer, &control,
                     [add](qint16& direction) { add(QStringLiteral("StartTransfer %1").arg(direction)); });
    QObject::connect(&control, &HTTPS::EndTransfer, &control,
                     [add](qint16& direction) { add(QStringLiteral("EndTransfer %1").arg(direction)); });
    QObject::connect(&control, &HTTPS::Transfer, &control,
                     [this, add](qint16& direction, qint32& count, QString& text) {
                         add(QStringLiteral("Transfer %1 %2").arg(direction).arg(count));
                         if (direction == 1)
                             body += text.toLatin1();
                         if (onTransfer)
                             onTransfer();
                     });
}

QStringList EventLog::of(const QString& event) const
{
    QStringList found;
    const QString prefix = event + QLatin1Char(' ');
    for (const QString& line : lines) {
        if (line.startsWith(prefix))
            found.append(line.mid(prefix.size()));
    }
    return found;
}

void useFirewall(HTTPS& control, int type, quint16 port)
{
    control.setFirewallType(type);
    control.setFirewallHost(QStringLiteral("127.0.0.1"));
    control.setFirewallPort(port);
}

RaisedError raisedBy(const std::function<void()>& call)
{
    try {
        call();
    } catch (const platform::automation::AutomationError& e) {
        return {e.Number(), e.Description(), e.HelpContext()};
    } catch (const kelvane::RuntimeError& e) {
        return {e.Number(), e.Description(), 0};
    }
    return {};
}

} // namespace kelvane::test
