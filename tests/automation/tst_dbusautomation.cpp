// The program as an automation server on a private session bus: a client starts it with
// "-Embedding", opens a knowledge base, reads it, shows the window, hears its events and answers
// the cancellable ones through an event sink of its own.

#include "tests/automation/AutomationTestSupport.h"

#include "automation/AutomationService.h"
#include "automation/DBusNames.h"
#include "automation/ProgramClasses.h"
#include "consult/AbstractConsultationEvents.h"
#include "diagram/ctlPelnet.h"
#include "consult/frmQuestion.h"
#include "platform/CompoundFile.h"
#include "shell/DocumentFiles.h"

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QDBusArgument>
#include <QDBusMetaType>
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

// The program started as a client starts it ("-Embedding"), ended at the end of the test if
// it still runs.
class EmbeddedProgram {
public:
    EmbeddedProgram()
    {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(QStringLiteral(KELVANE_BUILD_DIR "/app/kelvane"), {QStringLiteral("-Embedding")});
    }
    ~EmbeddedProgram()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // True once this program (not one that ends) offers its knowledge base on the bus.
    bool offered()
    {
        const auto owner = [&] { return QDBusConnection::sessionBus().interface()->servicePid(names::kService).value(); };
        return QTest::qWaitFor([&] { return process.processId() > 0 && owner() == uint(process.processId()); }, 30000);
    }

    QProcess process;
};

QString scratchCopyOfSample(const QString& name)
{
    const QString copy = test::scratchFolder() + u'/' + name;
    QFile::remove(copy);
    QFile::copy(QStringLiteral(KELVANE_SOURCE_DIR "/examples/car-diagnosis.xml"), copy);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

// An XML document whose side file carries, beside its macros, a storage named `storage` that
// another program wrote.
QString documentCarrying(const QString& name, const QString& storage)
{
    const QString document = scratchCopyOfSample(name + QStringLiteral(".xml"));
    platform::StorageEntry foreign = platform::StorageEntry::emptyRoot();
    foreign.name = storage;
    platform::StorageEntry stream;
    stream.name = QStringLiteral("dir");
    stream.bytes = QByteArray("\x01\x02", 2);
    foreign.children.push_back(stream);
    platform::StorageEntry root = platform::StorageEntry::emptyRoot();
    root.children.push_back(foreign);
    QFile side(test::scratchFolder() + u'/' + name + QStringLiteral(".vba"));
    side.open(QIODevice::WriteOnly | QIODevice::Truncate);
    side.write(platform::compoundfile::write(root));
    return document;
}

} // namespace

TEST_F(AutomationServer, AClientStartsTheProgramOpensAKnowledgeBaseAndAnswersItsEvents)
{
    const QString sample = scratchCopyOfSample(QStringLiteral("served.xml"));
    EmbeddedProgram embedded;
    QProcess& program = embedded.process;
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(embedded.offered()) << "the program did not offer its knowledge base";

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

TEST_F(AutomationServer, ASecondProgramForClientsEndsAtOnceWithAMessage)
{
    EmbeddedProgram first;
    ASSERT_TRUE(first.offered());

    QProcess second;
    second.start(QStringLiteral(KELVANE_BUILD_DIR "/app/kelvane"), {QStringLiteral("-Embedding")});
    ASSERT_TRUE(second.waitForFinished(30000)) << "the second program runs on hidden";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(second.exitCode(), 0);
    const QString said = QString::fromLocal8Bit(second.readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("another program already offers one"))) << qPrintable(said);
    EXPECT_EQ(first.process.state(), QProcess::Running) << "the first program serves on";
}

TEST_F(AutomationServer, AProgramNeverShownEndsWhenItsLastClientLeavesAndAShownOneStays)
{
    for (const bool shown : {false, true}) {
        EmbeddedProgram embedded;
        ASSERT_TRUE(embedded.offered());
        {
            QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("leaving"));
            const QDBusMessage opened = call(client, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface,
                                             QStringLiteral("OpenFile"), {scratchCopyOfSample(QStringLiteral("left.xml"))});
            ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << qPrintable(opened.errorMessage());
            // A change left unsaved: nobody is left to be asked about it.
            call(client, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("AddLayer"));
            if (shown)
                call(client, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("AppShow"));
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("leaving"));
        if (shown) {
            // Longer than the few seconds a program left alone waits for another client.
            EXPECT_FALSE(embedded.process.waitForFinished(8000)) << "the user has the window";
        } else {
            ASSERT_TRUE(embedded.process.waitForFinished(30000)) << "the hidden program runs on without clients";
            EXPECT_EQ(embedded.process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(embedded.process.exitCode(), 0);
        }
    }
}

TEST_F(AutomationServer, OpenFileWithTheWindowShownAnswersBeforeTheUserClosesItsNotice)
{
    EmbeddedProgram embedded;
    ASSERT_TRUE(embedded.offered());
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_EQ(call(bus, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("AppShow")).type(),
              QDBusMessage::ReplyMessage);

    const QDBusMessage opened = call(bus, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("OpenFile"),
                                     {documentCarrying(QStringLiteral("noticed"), QStringLiteral("VBA"))});
    ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << qPrintable(opened.errorMessage());
    // The notice is up, and the program still answers.
    EXPECT_EQ(property(bus, QStringLiteral("KBName")).toString(), QStringLiteral("Car will not start"));
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


namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// The program, loaded as "-Embedding" loads it (hidden, no document), offering its knowledge
// base on the session bus to a client on a connection of its own.
class ServedProgram : public test::ShellTest {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus (the suite runs this test under dbus-run-session)";
        load(QStringLiteral("-Embedding"));
        server = std::make_unique<AutomationService>(automation.host(), QDBusConnection::sessionBus(), 300ms);
        ASSERT_TRUE(server->registered());
        client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
    }
    void TearDown() override
    {
        server.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    }

    QDBusMessage kb(const QString& method, const QVariantList& arguments = {})
    {
        return call(client, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, method, arguments);
    }
    QVariant get(const QString& path, const QString& interface, const QString& name)
    {
        const QDBusMessage reply = call(client, path, kProperties, QStringLiteral("Get"), {interface, name});
        return reply.arguments().isEmpty() ? QVariant() : reply.arguments().first().value<QDBusVariant>().variant();
    }
    QVariant get(const QString& name) { return get(names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, name); }
    QDBusMessage set(const QString& name, const QVariant& value)
    {
        return call(client, names::kKnowledgeBasePath, kProperties, QStringLiteral("Set"),
                    {names::kKnowledgeBaseInterface, name, QVariant::fromValue(QDBusVariant(value))});
    }
    static QList<QDBusObjectPath> paths(const QVariant& value)
    {
        if (value.userType() == qMetaTypeId<QDBusArgument>())
            return qdbus_cast<QList<QDBusObjectPath>>(value.value<QDBusArgument>());
        return value.value<QList<QDBusObjectPath>>();
    }
    static QString scratch(const QString& name) { return test::scratchFolder() + u'/' + name; }
    // The sample knowledge base written afresh as `document`, in the form its name gives.
    static bool writeSampleAs(const QString& document)
    {
        QFile::remove(document);
        ctlPelnet writer;
        writer.Network()->setFileName(sample());
        if (!writer.FileOpen())
            return false;
        writer.Network()->setFileName(document);
        return writer.FileSave();
    }

    const AutomationInstallation automation {1000ms};
    std::unique_ptr<AutomationService> server;
    QDBusConnection client {QString()};
};

} // namespace

TEST_F(ServedProgram, OpenFileGivesTheDocumentItsOwnProjectAndTheWindowsSaveKeepsEveryEntry)
{
    const QString document = scratch(QStringLiteral("served.qkb"));
    ASSERT_TRUE(writeSampleAs(document));
    MacroProject project(QStringLiteral("Served"), {}, 1s);
    project.addModule(QStringLiteral("Module1"), QStringLiteral("function KnowledgeBase_Load(e) { }"));
    projectstorage::writeFile(document, project);
    platform::StorageEntry root = platform::compoundfile::read(bytesOf(document));
    std::vector<platform::StorageEntry> foreign;
    for (const char* name : {"VBA", "_VBA_PROJECT_CUR"}) {
        platform::StorageEntry storage = platform::StorageEntry::emptyRoot();
        storage.name = QString::fromLatin1(name);
        storage.classId = QByteArray("fedcba9876543210");
        platform::StorageEntry stream;
        stream.name = QStringLiteral("dir");
        stream.bytes = QByteArray(name) + QByteArray("\x00\x01\xfe", 3);
        storage.children.push_back(stream);
        foreign.push_back(storage);
        root.children.push_back(storage);
    }
    {
        QFile file(document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(platform::compoundfile::write(root));
    }

    const QDBusMessage opened = kb(QStringLiteral("OpenFile"), {document});
    ASSERT_EQ(opened.type(), QDBusMessage::ReplyMessage) << qPrintable(opened.errorMessage());
    ASSERT_EQ(kb(QStringLiteral("AppShow")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(window->mnuFileSave_Click());

    const platform::StorageEntry saved = platform::compoundfile::read(bytesOf(document));
    for (const auto& storage : foreign) {
        const platform::StorageEntry* kept = saved.findChild(storage.name);
        ASSERT_TRUE(kept) << qPrintable(storage.name);
        EXPECT_EQ(kept->classId, storage.classId);
        ASSERT_EQ(kept->children.size(), 1u) << qPrintable(kept->children.at(0).name + u' ' + kept->children.at(1).name);
        EXPECT_EQ(kept->children.front().bytes, storage.children.front().bytes);
    }
    const auto stored = projectstorage::read(saved, true);
    EXPECT_TRUE(stored.found);
    EXPECT_EQ(stored.modules, project.modules());
}

TEST_F(ServedProgram, AFailedOpenOrSaveIsAnErrorAnswerAndTheFileNameStays)
{
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    const QString missing = scratch(QStringLiteral("no such knowledge base.xml"));
    const QDBusMessage notOpened = kb(QStringLiteral("OpenFile"), {missing});
    EXPECT_EQ(notOpened.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(notOpened.errorName(), names::kFailedError);
    EXPECT_TRUE(notOpened.errorMessage().contains(missing)) << qPrintable(notOpened.errorMessage());
    EXPECT_EQ(get(QStringLiteral("FileName")).toString(), sample());
    EXPECT_EQ(get(QStringLiteral("KBName")).toString(), kSampleName) << "the open document stays";

    const QString unwritable = scratch(QStringLiteral("no such folder/copy.xml"));
    const QDBusMessage notSaved = kb(QStringLiteral("SaveFile"), {unwritable});
    EXPECT_EQ(notSaved.type(), QDBusMessage::ErrorMessage);
    EXPECT_TRUE(notSaved.errorMessage().contains(unwritable)) << qPrintable(notSaved.errorMessage());
    EXPECT_EQ(get(QStringLiteral("FileName")).toString(), sample());
    EXPECT_FALSE(QFile::exists(unwritable));
}

TEST_F(ServedProgram, WhileHiddenNothingWaitsForAnAnswerTheClientHasTheMessage)
{
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    ASSERT_EQ(kb(QStringLiteral("AddLayer")).type(), QDBusMessage::ReplyMessage); // the document has changed

    QElapsedTimer clock;
    clock.start();
    for (const char* method : {"Quit", "CloseFile"}) {
        const QDBusMessage refused = kb(QString::fromLatin1(method));
        EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage) << method;
        EXPECT_EQ(refused.errorMessage(), QStringLiteral("Scenario has changed. Do you wish to save the changes?")) << method;
        EXPECT_FALSE(window->Unloaded()) << method;
    }
    EXPECT_LT(clock.elapsed(), 5000);

    const QString locked = scratch(QStringLiteral("locked.xml"));
    QFile::remove(locked);
    ASSERT_TRUE(QFile::copy(sample(), locked));
    QFile::setPermissions(locked, QFile::ReadOwner);
    const QDBusMessage readOnly = kb(QStringLiteral("SaveFile"), {locked});
    EXPECT_EQ(readOnly.type(), QDBusMessage::ErrorMessage);
    EXPECT_TRUE(readOnly.errorMessage().startsWith(locked + QStringLiteral(" is read only"))) << qPrintable(readOnly.errorMessage());
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(ui->messageBoxes.empty()) << "no dialog was shown";

    // Saved, the document lets the program end; the client has its answer first.
    ASSERT_EQ(kb(QStringLiteral("SaveFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    const QDBusMessage quit = kb(QStringLiteral("Quit"));
    EXPECT_EQ(quit.type(), QDBusMessage::ReplyMessage) << qPrintable(quit.errorMessage());
    EXPECT_TRUE(window->Unloaded());
}

TEST_F(ServedProgram, AValueOfAnotherTypeIsRefusedAndChangesNothing)
{
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    const bool autoAnswer = get(QStringLiteral("AutoAnswer")).toBool();
    const std::pair<const char*, QVariant> wrong[] = {
        {"Visible", QStringLiteral("no")}, {"AutoAnswer", 0.5}, {"ShowAnswer", 1}, {"KBName", 5}};
    for (const auto& [name, value] : wrong) {
        const QDBusMessage refused = set(QString::fromLatin1(name), value);
        EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage) << name;
        EXPECT_EQ(refused.errorName(), names::kFailedError) << name;
        EXPECT_EQ(refused.errorMessage(), QStringLiteral("Type mismatch")) << name;
    }
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(get(QStringLiteral("AutoAnswer")).toBool(), autoAnswer);
    EXPECT_EQ(get(QStringLiteral("KBName")).toString(), kSampleName);

    ASSERT_EQ(set(QStringLiteral("AutoAnswer"), !autoAnswer).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(get(QStringLiteral("AutoAnswer")).toBool(), !autoAnswer);
    EXPECT_EQ(set(QStringLiteral("EditMode"), true).errorName(), QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"));
}

TEST_F(ServedProgram, TheNoticeOfWhatAnotherProgramStoredSaysWhetherItIsMacros)
{
    ASSERT_EQ(kb(QStringLiteral("AppShow")).type(), QDBusMessage::ReplyMessage);
    const std::pair<const char*, QString> told[] = {
        {"Extra", QStringLiteral("This knowledge base holds data that another program stored in it.")},
        {"VBA", QStringLiteral("This knowledge base carries macros of another kind.")}};
    for (const auto& [storage, notice] : told) {
        ui->messageBoxes.clear();
        const QString storageName = QString::fromLatin1(storage);
        ASSERT_EQ(kb(QStringLiteral("OpenFile"), {documentCarrying(storageName, storageName)}).type(), QDBusMessage::ReplyMessage);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !ui->messageBoxes.empty(); }, 5000)) << storage;
        EXPECT_TRUE(ui->messageBoxes.front().text.startsWith(notice)) << qPrintable(ui->messageBoxes.front().text);
    }
}

TEST_F(ServedProgram, StatusWorksOnceTheHiddenProgramIsShown)
{
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    set(QStringLiteral("Status"), QStringLiteral("too early"));
    EXPECT_EQ(get(QStringLiteral("Status")).toString(), QString());
    ASSERT_EQ(kb(QStringLiteral("AppShow")).type(), QDBusMessage::ReplyMessage);
    ASSERT_EQ(set(QStringLiteral("Status"), QStringLiteral("Ready for questions")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(get(QStringLiteral("Status")).toString(), QStringLiteral("Ready for questions"));
    EXPECT_TRUE(window->isVisible());
}

namespace {

// A client's event sink that tries to open a knowledge base when asked about a question.
class OpeningSink : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kelvane.Kelvane.KnowledgeBaseEvents")

public:
    OpeningSink(QDBusConnection& client, QString document) : m_client(client), m_document(std::move(document)) {}
    QDBusMessage opened;

public Q_SLOTS:
    Q_SCRIPTABLE bool BeforeQuestion(const QString&, bool Cancel)
    {
        opened = call(m_client, names::kKnowledgeBasePath, names::kKnowledgeBaseInterface, QStringLiteral("OpenFile"),
                      {m_document});
        return Cancel;
    }

private:
    QDBusConnection& m_client;
    QString m_document;
};

} // namespace

TEST_F(ServedProgram, ASinkCannotReplaceTheDocumentUnderTheConsultationStepThatAsksIt)
{
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    ASSERT_EQ(kb(QStringLiteral("AppShow")).type(), QDBusMessage::ReplyMessage);
    OpeningSink sink(client, sample());
    ASSERT_TRUE(client.registerObject(QStringLiteral("/Sink"), &sink, QDBusConnection::ExportScriptableSlots));
    kb(QStringLiteral("RegisterSink"), {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/Sink")))});
    const auto network = window->ctlPelnet1().Network();

    test::clickNode(*window, 1, 1);
    EXPECT_EQ(sink.opened.type(), QDBusMessage::ErrorMessage);
    EXPECT_TRUE(sink.opened.errorMessage().contains(QStringLiteral("consultation"))) << qPrintable(sink.opened.errorMessage());
    EXPECT_EQ(window->ctlPelnet1().Network(), network);
    auto* question = test::shownDialog<frmQuestion>(*window);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->node, test::nodeAt(*network, 1, 1));
}

TEST_F(ServedProgram, SaveFileUnderANewNameTakesTheMacrosAlong)
{
    // Where each copy keeps its macros: beside an XML document, inside a compound one.
    std::vector<std::pair<QString, bool>> copies;
    for (const QString& extension : {QStringLiteral(".xml"), QStringLiteral(".qkb")}) {
        const bool beside = extension == QStringLiteral(".xml");
        const QString document = scratch(QStringLiteral("with macros") + extension);
        const QString copy = scratch(QStringLiteral("copy2") + extension);
        QFile::remove(copy);
        ASSERT_TRUE(writeSampleAs(document));
        test::writeProject(beside ? documentfiles::MacroSideFile(document) : document, QStringLiteral("var kept = 1;"));

        ASSERT_EQ(kb(QStringLiteral("OpenFile"), {document}).type(), QDBusMessage::ReplyMessage);
        const QDBusMessage saved = kb(QStringLiteral("SaveFile"), {copy});
        ASSERT_EQ(saved.type(), QDBusMessage::ReplyMessage) << qPrintable(saved.errorMessage());
        EXPECT_EQ(get(QStringLiteral("FileName")).toString(), copy);
        copies.emplace_back(copy, beside);
    }
    ASSERT_EQ(kb(QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(window->Unloaded());

    for (const auto& [copy, beside] : copies) {
        const QString projectFile = beside ? documentfiles::MacroSideFile(copy) : copy;
        ASSERT_TRUE(QFile::exists(projectFile)) << qPrintable(projectFile);
        const auto stored = projectstorage::readFile(projectFile, !beside);
        ASSERT_EQ(stored.modules.size(), 1) << qPrintable(copy);
        EXPECT_EQ(stored.modules.first().text, QStringLiteral("var kept = 1;"));
    }
}

namespace {

// The warnings logged while it lives.
class LoggedWarnings {
public:
    LoggedWarnings() { s_seen = &seen; m_previous = qInstallMessageHandler(&LoggedWarnings::log); }
    ~LoggedWarnings()
    {
        qInstallMessageHandler(m_previous);
        s_seen = nullptr;
    }
    QStringList seen;

private:
    static void log(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (s_seen && type == QtWarningMsg)
            s_seen->append(text);
    }
    static inline QStringList* s_seen = nullptr;
    QtMessageHandler m_previous;
};

class ChangeListener : public QObject {
    Q_OBJECT

public:
    QList<QVariantMap> changes;

public Q_SLOTS:
    void changed(const QString& interface, const QVariantMap& values, const QStringList&)
    {
        if (interface == names::kKnowledgeBaseInterface)
            changes << values;
    }
};

} // namespace

TEST_F(ServedProgram, PropertiesThatChangeAreAnnouncedAndEveryMethodIsDescribed)
{
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    ChangeListener listener;
    ASSERT_TRUE(client.connect(names::kService, names::kKnowledgeBasePath, kProperties, QStringLiteral("PropertiesChanged"),
                               &listener, SLOT(changed(QString, QVariantMap, QStringList))));
    ASSERT_EQ(set(QStringLiteral("KBName"), QStringLiteral("Renamed")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.changes.size() >= 1; }, 5000));
    EXPECT_EQ(listener.changes.first().value(QStringLiteral("KBName")).toString(), QStringLiteral("Renamed"));
    EXPECT_FALSE(listener.changes.first().contains(QStringLiteral("Author"))) << "only what changed";
    ASSERT_EQ(kb(QStringLiteral("AddLayer")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.changes.size() >= 2; }, 5000));
    EXPECT_TRUE(listener.changes.at(1).contains(QStringLiteral("Layers")));

    // A change made in the program itself is announced too.
    window->ctlPelnet1().Network()->setScenarioName(QStringLiteral("Monday"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.changes.size() >= 3; }, 5000));
    EXPECT_EQ(listener.changes.at(2).value(QStringLiteral("ScenarioName")).toString(), QStringLiteral("Monday"));

    const LoggedWarnings warnings;
    const QDBusMessage described = call(client, names::kKnowledgeBasePath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                        QStringLiteral("Introspect"));
    ASSERT_EQ(described.type(), QDBusMessage::ReplyMessage);
    const QString xml = described.arguments().first().toString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<method name=\"RegisterSink\">"))) << qPrintable(xml);
    EXPECT_TRUE(xml.contains(QStringLiteral("<property name=\"Pages\" type=\"ao\" access=\"read\"/>"))) << qPrintable(xml);
    EXPECT_TRUE(warnings.seen.isEmpty()) << qPrintable(warnings.seen.join(u'\n'));
    // The editor's Visible, which may change, says that no change of it is announced.
    const QDBusMessage editor = call(client, names::kEditorPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                     QStringLiteral("Introspect"));
    ASSERT_EQ(editor.type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(editor.arguments().first().toString().contains(
        QStringLiteral("<annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" value=\"false\"/>")));
}

TEST_F(ServedProgram, ObjectsHandedOutArePathsThatAnswerWhileTheirObjectLives)
{
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    const auto network = window->ctlPelnet1().Network();

    const QList<QDBusObjectPath> pages = paths(get(QStringLiteral("Pages")));
    ASSERT_EQ(pages.size(), window->ctlPelnet1().Networks.Count());
    const QString page = pages.first().path();
    EXPECT_TRUE(page.startsWith(QStringLiteral("/KnowledgeBase/Pages/k"))) << qPrintable(page);
    EXPECT_EQ(get(page, QStringLiteral("org.kelvane.Kelvane.Page"), QStringLiteral("GUID")).toString(), network->GUID());
    const QDBusMessage described = call(client, page, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    ASSERT_EQ(described.type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(described.arguments().first().toString().contains(QStringLiteral("<interface name=\"org.kelvane.Kelvane.Page\">")));

    // From the page to a node's name, one path at a time.
    const QList<QDBusObjectPath> layers = paths(get(page, QStringLiteral("org.kelvane.Kelvane.Page"), QStringLiteral("Layers")));
    ASSERT_EQ(layers.size(), network->Layers().Count());
    const QList<QDBusObjectPath> nodes =
        paths(get(layers.first().path(), QStringLiteral("org.kelvane.Kelvane.Layer"), QStringLiteral("Nodes")));
    const auto first = network->Layers().Item(1)->Nodes().Item(1);
    ASSERT_FALSE(nodes.isEmpty());
    const QString name = get(nodes.first().path(), QStringLiteral("org.kelvane.Kelvane.Node"), QStringLiteral("Name"))
                             .value<QDBusObjectPath>()
                             .path();
    EXPECT_EQ(get(name, QStringLiteral("org.kelvane.Kelvane.TextLabel"), QStringLiteral("Text")).toString(), first->Name()->Text());

    // A collection's Item, a method of a node, the other members.
    const QDBusMessage item = call(client, QStringLiteral("/KnowledgeBase/Layers"), QStringLiteral("org.kelvane.Kelvane.Collection"),
                                   QStringLiteral("Item"), {QVariant::fromValue(QDBusVariant(1))});
    ASSERT_EQ(item.type(), QDBusMessage::ReplyMessage) << qPrintable(item.errorMessage());
    EXPECT_EQ(item.arguments().first().value<QDBusVariant>().variant().value<QDBusObjectPath>().path(),
              QStringLiteral("/KnowledgeBase/Layers/i1"));
    EXPECT_EQ(get(QStringLiteral("/KnowledgeBase/Layers/i1"), QStringLiteral("org.kelvane.Kelvane.Layer"), QStringLiteral("Index")).toInt(), 1);
    const QString project = get(QStringLiteral("ApcProject")).value<QDBusObjectPath>().path();
    EXPECT_EQ(project, QStringLiteral("/KnowledgeBase/ApcProject"));
    EXPECT_EQ(get(project, QStringLiteral("org.kelvane.Kelvane.MacroProject"), QStringLiteral("Name")).toString(),
              automation.host().current()->Project()->Name());
    EXPECT_EQ(get(get(QStringLiteral("Report")).value<QDBusObjectPath>().path(), QStringLiteral("org.kelvane.Kelvane.Report"),
                  QStringLiteral("Name"))
                  .toString(),
              kSampleName);
    EXPECT_TRUE(paths(get(QStringLiteral("MenuItems"))).isEmpty());

    // Another document opened: the paths into the first one answer that their object went away.
    const QString other = scratch(QStringLiteral("other.xml"));
    QFile::remove(other);
    ASSERT_TRUE(QFile::copy(sample(), other));
    QFile::setPermissions(other, QFile::ReadOwner | QFile::WriteOwner);
    {
        ctlPelnet renewer;
        renewer.Network()->setFileName(other);
        ASSERT_TRUE(renewer.FileOpen());
        ASSERT_TRUE(renewer.FileSave()); // with GUIDs of its own
    }
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {other}).type(), QDBusMessage::ReplyMessage);
    const QDBusMessage gone = call(client, page, kProperties, QStringLiteral("Get"), {QStringLiteral("org.kelvane.Kelvane.Page"), QStringLiteral("GUID")});
    EXPECT_EQ(gone.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(gone.errorName(), QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
}

TEST_F(ServedProgram, ObjectsMadeForAClientAreItsOwnUntilItLeavesTheBus)
{
    automation::registerProgramClasses(QStringLiteral("/opt/kelvane/kelvane"));
    ASSERT_EQ(kb(QStringLiteral("OpenFile"), {sample()}).type(), QDBusMessage::ReplyMessage);
    const QString textLabel = QStringLiteral("org.kelvane.Kelvane.TextLabel");
    const QString name = QStringLiteral("/KnowledgeBase/Layers/i1/Nodes/i1/Name");
    const QDBusMessage cloned = call(client, name, textLabel, QStringLiteral("Clone"));
    ASSERT_EQ(cloned.type(), QDBusMessage::ReplyMessage) << qPrintable(cloned.errorMessage());
    const QString copy = cloned.arguments().first().value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
    EXPECT_TRUE(copy.startsWith(QStringLiteral("/Objects/n"))) << qPrintable(copy);
    EXPECT_EQ(get(copy, textLabel, QStringLiteral("Text")), get(name, textLabel, QStringLiteral("Text")));

    const QString objects = QStringLiteral("org.kelvane.Kelvane.Objects");
    const QDBusMessage created = call(client, QStringLiteral("/Objects"), objects, QStringLiteral("CreateObject"),
                                      {QStringLiteral("Kelvane.MenuItem")});
    ASSERT_EQ(created.type(), QDBusMessage::ReplyMessage) << qPrintable(created.errorMessage());
    const QString item = created.arguments().first().value<QDBusObjectPath>().path();
    const QString menuItem = QStringLiteral("org.kelvane.Kelvane.MenuItem");
    ASSERT_EQ(call(client, item, kProperties, QStringLiteral("Set"),
                   {menuItem, QStringLiteral("Name"), QVariant::fromValue(QDBusVariant(QStringLiteral("Hello")))})
                  .type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(get(item, menuItem, QStringLiteral("cName")).toString(), QStringLiteral("Hello"));
    const QDBusMessage refused = call(client, QStringLiteral("/Objects"), objects, QStringLiteral("CreateObject"),
                                      {QStringLiteral("Kelvane.NoSuchClass")});
    EXPECT_EQ(refused.errorName(), names::kFailedError);

    // The client leaves: what was made for it goes with it.
    client = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
    const auto leave = qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("other")); });
    for (const QString& path : {copy, item}) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return call(other, path, kProperties, QStringLiteral("GetAll"), {QString()}).errorName()
                    == QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
            },
            5000))
            << qPrintable(path);
    }
}

#include "tst_dbusautomation.moc"
