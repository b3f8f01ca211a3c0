// A tiny in-process server for the tests: the class Tally, registered as "KelvaneTest.Tally",
// with a default member, a method with an optional parameter, an event with by-reference
// arguments and a method that raises an automation error.
#include "platform/automation/AutomationError.h"
#include "platform/automation/InProcessServer.h"

#include <QObject>

namespace {

using namespace platform::automation;

class Tally : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint32 Total READ Total WRITE setTotal)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    qint32 Total() const { return m_total; }
    void setTotal(qint32 total) { m_total = total; }
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption; }

    // Adds to the total; on reaching the limit, a sink of Reached may cancel the addition.
    Q_INVOKABLE qint32 Add(qint16 amount, qint32 limit = 100)
    {
        qint32 total = m_total + amount;
        if (total >= limit) {
            bool cancel = false;
            Q_EMIT Reached(total, cancel);
            if (cancel)
                return m_total;
        }
        m_total = total;
        return m_total;
    }

    Q_INVOKABLE void Refuse()
    {
        raiseAutomationError(20145, QStringLiteral("Tally refused."), QStringLiteral("KelvaneTest.Tally"),
                             QStringLiteral("tally.chm"), 41806);
    }

Q_SIGNALS:
    void Reached(qint32& Total, bool& Cancel);

private:
    qint32 m_total = 0;
    QString m_caption;
};

TypeLibraryDescription tallyLibrary()
{
    const InterfaceDescription members {
        .name = QStringLiteral("_Tally"),
        .id = QUuid::fromString(u"{6e1f0a52-3b7c-4c1e-9a51-0d1f7c2b9e01}"),
        .dual = true,
        .hidden = true,
        .members = {
            propertyMember(QStringLiteral("Total"), DefaultMember, ValueType::Long),
            propertyMember(QStringLiteral("Caption"), 1, ValueType::String),
            methodMember(QStringLiteral("Add"), 2, ValueType::Long,
                   {parameter(QStringLiteral("Amount"), ValueType::Integer),
                    parameter(QStringLiteral("Limit"), ValueType::Long, false, true)},
                   QStringLiteral("Adds to the total.")),
            methodMember(QStringLiteral("Refuse"), 3),
        }};
    const InterfaceDescription events {
        .name = QStringLiteral("__Tally"),
        .id = QUuid::fromString(u"{6e1f0a52-3b7c-4c1e-9a51-0d1f7c2b9e02}"),
        .events = true,
        .members = {eventMember(QStringLiteral("Reached"), 1,
                          {parameter(QStringLiteral("Total"), ValueType::Long, true),
                           parameter(QStringLiteral("Cancel"), ValueType::Boolean, true)})}};
    const ClassDescription tally {.name = QStringLiteral("Tally"),
                                  .id = QUuid::fromString(u"{6e1f0a52-3b7c-4c1e-9a51-0d1f7c2b9e03}"),
                                  .defaultInterface = QStringLiteral("_Tally"),
                                  .eventInterface = QStringLiteral("__Tally"),
                                  .control = true};
    return TypeLibraryDescription {.name = QStringLiteral("TallyLib"),
                                   .id = QUuid::fromString(u"{6e1f0a52-3b7c-4c1e-9a51-0d1f7c2b9e00}"),
                                   .helpString = QStringLiteral("Tally test library"),
                                   .interfaces = {members, events},
                                   .classes = {tally}};
}

ClassRegistration tallyRegistration()
{
    ClassRegistration registration;
    registration.className = QStringLiteral("Tally");
    registration.progId = QStringLiteral("KelvaneTest.Tally.1");
    registration.versionIndependentProgId = QStringLiteral("KelvaneTest.Tally");
    registration.version = QStringLiteral("1.0");
    registration.miscStatus = 132497;
    registration.toolboxBitmap = 101;
    registration.markerKeys = {QStringLiteral("Control"), QStringLiteral("Programmable")};
    return registration;
}

const ClassServer& tallyServer()
{
    static const ClassServer server(tallyLibrary(), {ServedClass::of<Tally>(tallyRegistration())});
    return server;
}

} // namespace

KELVANE_IN_PROCESS_SERVER(tallyServer)

#include "TallyServer.moc"
