// The program as an automation server on a private session bus: a client starts it with
// "-Embedding", opens a knowledge base, reads it, shows the window, hears its events and answers
// the cancellable ones through an event sink of its own.

#include "tests/automation/AutomationTestSupport.h"

#include "automation/AutomationService.h"
#include "automation/DBusNames.h"
#include "consult/AbstractConsultationEvents.h"

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace kelvane;
using namespace std::chrono_literals;
namespace names = kelvane::dbusnames;

namespace {

// A client's event sink: answers Unload as told, cancels every question, and never answers
// BeforeAnswer (the program must give up on it).
class Sink : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kelvane.Kelvane.KnowledgeBaseEvents")

public:
    QStringList heard;
    bool cancelUnload = false;

public Q_SLOTS:
    Q_SCRIPTABLE bool Load(bool Cancel) { heard << QStringLiteral("Load"); return Cancel; }
    Q_SCRIPTABLE bool Unload(bool) { heard << QStringLiteral("Unload"); return cancelUnload; }
    Q_SCRIPTABLE bool BeforeQuestion(const QString& Node1, bool) { heard << QStringLiteral("BeforeQuestion ") + Node1; return true; }
    Q_SCRIPTABLE bool BeforeAnswer(const QString&, bool Cancel)
    {
        heard << QStringLiteral("BeforeAnswer");
        setDelayedReply(true);
        return Cancel;
    }
};

// The events a client hears as signals.
class Listener : public QObject {
    Q_OBJECT

public:
    QStringList heard;

public Q_SLOTS:
    void load(bool Cancel) { heard << QStringLiteral("Load %1").arg(Cancel); }
    void beforeQuestion(const QString&, bool Cancel) { heard << QStringLiteral("BeforeQuestion %1").arg(Cancel); }
};

QDBusMessage call(QDBusConnection& bus, const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(names::kService, path, interface, method);
    message.setArguments(arguments);
    // The program may call back into this process (the sink) before it answers: wait with the
    // event loop running.
    QDBusPendingCallWatcher answer(bus.asyncCall(message, 20000));
    QSignalSpy finished(&answer, &QDBusPendingCallWatcher::finished);
    if (!answer.isFinished())
        finished.wait(21000);
    return answer.reply();
}

QVariant property(QDBusConnection& bus, const QString& name)
{
    const QDBusMessage reply = call(bus, names::kKnowledgeBasePath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {names::kKnowledgeBaseInterface, name});
    return reply.arguments().isEmpty() ? QVariant() : reply.arguments().first().value<QDBusVariant>().variant();
}

class AutomationServer : public test::AutomationTest {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus (the suite runs this test under dbus-run-session)";
    }
};

} // namespace

TEST_F(AutomationServer, AClientStartsTheProgramOpensAKnowledgeBaseAndAnswersItsEvents)
{
    const QString sample = test::scratchFolder() + QStringLiteral("/served.xml");
    QFile::remove(sample);
    ASSERT_TRUE(QFile::copy(QStringLiteral(KELVANE_SOURCE_DIR "/examples/car-diagnosis.xml"), sample));
    QFile::setPermissions(sample, QFile::ReadOwner | QFile::WriteOwner);

    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(KELVANE_BUILD_DIR "/app/kelvane"), {QStringLiteral("-Embedding")});
    const auto stop = qScopeGuard([&] {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    });
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bus.interface()->isServiceRegistered(names::kService).value(); }, 30000))
        << "the program did not offer its knowledge base";

    Sink sink;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/Sink"), &sink, QDBusConnection::ExportScriptableSlots));
    Listener listener;
    ASSERT_TRUE(bus.connect(names::kService, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface,
                            QStringLiteral("Load"), &listener, SLOT(load(bool))));
    call(bus, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("RegisterSink"),
         {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/Sink")))});

    const QDBusMessage opened = call(bus, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface,
                                     QStringLiteral("OpenFile"), {sample});
    ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << qPrintable(opened.errorMessage());
    EXPECT_EQ(property(bus, QStringLiteral("KBName")).toString(), QStringLiteral("Car will not start"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listener.heard.isEmpty(); }, 5000));
    EXPECT_EQ(listener.heard, QStringList {QStringLiteral("Load 0")});
    EXPECT_EQ(sink.heard, QStringList {QStringLiteral("Load")});

    EXPECT_FALSE(property(bus, QStringLiteral("Visible")).toBool());
    call(bus, names::kKnowledgeBasePath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
         {names::kKnowledgeBaseInterface, QStringLiteral("Visible"), QVariant::fromValue(QDBusVariant(true))});
    EXPECT_TRUE(property(bus, QStringLiteral("Visible")).toBool());

    // Quit runs the program's shutdown, which the sink can refuse through Unload.
    sink.cancelUnload = true;
    call(bus, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("Quit"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.heard.contains(QStringLiteral("Unload")); }, 10000));
    EXPECT_FALSE(program.waitForFinished(500));
    EXPECT_EQ(property(bus, QStringLiteral("KBName")).toString(), QStringLiteral("Car will not start"));
    sink.cancelUnload = false;
    call(bus, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("Quit"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(program.exitCode(), 0);
    bus.unregisterObject(QStringLiteral("/Sink"));
}

TEST_F(AutomationServer, ASinkCancelsAQuestionAndOneThatDoesNotAnswerChangesNothing)
{
    const auto network = test::twoNodeNetwork();
    startWith(network);
    const AutomationService server(host(), QDBusConnection::sessionBus(), 300ms);
    ASSERT_TRUE(server.registered());

    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
    const auto leave = qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("client")); });
    Sink sink;
    ASSERT_TRUE(client.registerObject(QStringLiteral("/Sink"), &sink, QDBusConnection::ExportScriptableSlots));
    Listener listener;
    ASSERT_TRUE(client.connect(names::kService, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface,
                               QStringLiteral("BeforeQuestion"), &listener, SLOT(beforeQuestion(QString, bool))));
    call(client, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("RegisterSink"),
         {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/Sink")))});

    const auto evidence = test::nodeAt(*network, 1, 1);
    bool cancel = false;
    consultationEvents().FireNodeQuestion(evidence, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(network->Dirty());
    EXPECT_EQ(sink.heard, QStringList {QStringLiteral("BeforeQuestion ") + evidence->GUID});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listener.heard.isEmpty(); }, 5000));
    EXPECT_EQ(listener.heard, QStringList {QStringLiteral("BeforeQuestion 1")});

    QElapsedTimer clock;
    clock.start();
    cancel = false;
    consultationEvents().FireNodeAnswer(evidence, cancel);
    EXPECT_FALSE(cancel);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(sink.heard.contains(QStringLiteral("BeforeAnswer")));
}

#include "tst_dbusautomation.moc"
