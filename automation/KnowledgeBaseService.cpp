#include "automation/KnowledgeBaseService.h"

#include "automation/AutomationHost.h"
#include "automation/BusClients.h"
#include "automation/BusObjectTree.h"
#include "automation/DBusNames.h"
#include "automation/HiddenProgramUi.h"
#include "automation/DispIds.h"
#include "automation/KnowledgeBase.h"
#include "automation/LinkObject.h"
#include "automation/MenuItem.h"
#include "automation/NodeObject.h"
#include "automation/ObjectModel.h"
#include "model/Link.h"
#include "model/Node.h"
#include "platform/automation/EventConnection.h"
#include "platform/automation/EventSink.h"
#include "shell/ShellGlobals.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QMetaMethod>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>

namespace kelvane {

using platform::automation::DispatchObject;
namespace ev = dispid::knowledgebaseevents;

namespace {

// Hands the live knowledge base's events to the service while it lives.
class Relay : public platform::automation::EventSink {
public:
    explicit Relay(KnowledgeBaseService& service) : m_service(&service) {}
    void onEvent(platform::automation::DispId id, const QString& name, QList<Variant>& arguments) override
    {
        if (m_service)
            m_service->relay(id, name, arguments);
    }

private:
    QPointer<KnowledgeBaseService> m_service;
};

// An event's arguments as they cross the bus: nodes and links by GUID, menu items by name.
QVariantList busArguments(const QList<Variant>& arguments)
{
    QVariantList values;
    for (const Variant& argument : arguments) {
        switch (argument.type()) {
        case Variant::Type::Boolean: values << argument.toBool(); break;
        case Variant::Type::Integer: values << QVariant::fromValue(short(argument.toDouble())); break;
        case Variant::Type::Object: {
            const DispatchObject object = DispatchObject::fromVariant(argument);
            if (const auto node = automation::modelOf<automation::NodeObject>(object)) {
                values << node->GUID;
            } else if (const auto link = automation::modelOf<automation::LinkObject>(object)) {
                const auto from = link->ConnectionFrom.lock();
                values << (from ? from->GUID : QString()) << (link->ConnectionTo ? link->ConnectionTo->GUID : QString());
            } else if (const auto* item = qobject_cast<MenuItem*>(object.object())) {
                values << item->Name();
            } else {
                values << QString();
            }
            break;
        }
        case Variant::Type::Empty: values << QString(); break;
        default: values << argument.toDouble(); break;
        }
    }
    return values;
}

bool carriesCancel(platform::automation::DispId id)
{
    return id >= ev::Load && id <= ev::AfterPrecondition;
}

// How often changes made in the program itself are looked for.
constexpr std::chrono::milliseconds kChangeLook {1000};

} // namespace

KnowledgeBaseService::KnowledgeBaseService(AutomationHost& host, QDBusConnection connection, BusClients& clients,
                                           std::chrono::milliseconds sinkTimeLimit)
    : m_host(host)
    , m_connection(std::move(connection))
    , m_sinkTimeLimit(sinkTimeLimit)
    , m_clients(clients)
    , m_objects(std::make_unique<BusObjectTree>(host, clients))
{
    connect(&m_clients, &BusClients::left, this, [this](const QString& client) {
        std::erase_if(m_sinks, [&](const Sink& sink) { return sink.client == client; });
    });
    connect(&m_host, &AutomationHost::liveChanged, this, &KnowledgeBaseService::adviseLive);
    adviseLive();
    m_announced = propertyValues();
    connect(&m_changes, &QTimer::timeout, this, &KnowledgeBaseService::announceChanges);
    m_changes.start(kChangeLook);
}

KnowledgeBaseService::~KnowledgeBaseService() = default;

void KnowledgeBaseService::noteCaller()
{
    if (calledFromDBus())
        m_clients.note(message());
}

void KnowledgeBaseService::adviseLive()
{
    m_events.reset();
    if (const auto knowledgeBase = m_host.current())
        m_events = knowledgeBase->dispatch().advise(std::make_shared<Relay>(*this));
}

// --- Properties and methods: the live knowledge base's -----------------------------------------------

QString KnowledgeBaseService::GUID() const { return m_host.live()->GUID(); }
void KnowledgeBaseService::setGUID(const QString& value) { m_host.live()->setGUID(value); }
QString KnowledgeBaseService::FileName() const { return m_host.live()->FileName(); }
void KnowledgeBaseService::setFileName(const QString& value) { m_host.live()->setFileName(value); }
QString KnowledgeBaseService::Status() const { return m_host.live()->Status(); }
void KnowledgeBaseService::setStatus(const QString& value) { m_host.live()->setStatus(value); }
QString KnowledgeBaseService::KBName() const { return m_host.live()->KBName(); }
void KnowledgeBaseService::setKBName(const QString& value) { m_host.live()->setKBName(value); }
QString KnowledgeBaseService::KBDescription() const { return m_host.live()->KBDescription(); }
void KnowledgeBaseService::setKBDescription(const QString& value) { m_host.live()->setKBDescription(value); }
QString KnowledgeBaseService::Author() const { return m_host.live()->Author(); }
void KnowledgeBaseService::setAuthor(const QString& value) { m_host.live()->setAuthor(value); }
QString KnowledgeBaseService::Copyright() const { return m_host.live()->Copyright(); }
void KnowledgeBaseService::setCopyright(const QString& value) { m_host.live()->setCopyright(value); }
short KnowledgeBaseService::NetworkType() const { return m_host.live()->NetworkType(); }
bool KnowledgeBaseService::Visible() const { return m_host.live()->Visible(); }
void KnowledgeBaseService::setVisible(bool value) { m_host.live()->setVisible(value); }
bool KnowledgeBaseService::AutoAnswer() const { return m_host.live()->AutoAnswer(); }
void KnowledgeBaseService::setAutoAnswer(bool value) { m_host.live()->setAutoAnswer(value); }
bool KnowledgeBaseService::ShowAnswer() const { return m_host.live()->ShowAnswer(); }
void KnowledgeBaseService::setShowAnswer(bool value) { m_host.live()->setShowAnswer(value); }
QString KnowledgeBaseService::ScenarioName() const { return m_host.live()->ScenarioName(); }
void KnowledgeBaseService::setScenarioName(const QString& value) { m_host.live()->setScenarioName(value); }
QString KnowledgeBaseService::ScenarioDescription() const { return m_host.live()->ScenarioDescription(); }
void KnowledgeBaseService::setScenarioDescription(const QString& value) { m_host.live()->setScenarioDescription(value); }
QString KnowledgeBaseService::LastModified() const { return m_host.live()->LastModified(); }
void KnowledgeBaseService::setLastModified(const QString& value) { m_host.live()->setLastModified(value); }

QDBusObjectPath KnowledgeBaseService::ApcProject() const
{
    const auto paths = m_objects->pathsOf(QStringLiteral("ApcProject"));
    return paths.isEmpty() ? QDBusObjectPath(QStringLiteral("/")) : paths.first();
}

QList<QDBusObjectPath> KnowledgeBaseService::Pages() const { return m_objects->pathsOf(QStringLiteral("Pages")); }
QList<QDBusObjectPath> KnowledgeBaseService::Properties() const { return m_objects->pathsOf(QStringLiteral("Properties")); }
QList<QDBusObjectPath> KnowledgeBaseService::Layers() const { return m_objects->pathsOf(QStringLiteral("Layers")); }

QDBusObjectPath KnowledgeBaseService::Report() const
{
    const auto paths = m_objects->pathsOf(QStringLiteral("Report"));
    return paths.isEmpty() ? QDBusObjectPath(QStringLiteral("/")) : paths.first();
}

QList<QDBusObjectPath> KnowledgeBaseService::MenuItems() const { return m_objects->pathsOf(QStringLiteral("MenuItems")); }

QList<QDBusObjectPath> KnowledgeBaseService::ReportMenuItems() const
{
    return m_objects->pathsOf(QStringLiteral("ReportMenuItems"));
}

template <class Body>
auto KnowledgeBaseService::serve(Body&& body) -> decltype(body())
{
    using Result = decltype(body());
    noteCaller();
    m_host.holdNotices();
    const auto release = qScopeGuard([&] { m_host.releaseNotices(); });
    const HiddenProgramUi* ui = m_host.hiddenUi();
    const qsizetype unshownBefore = ui ? ui->unshownCount() : 0;
    QString failure;
    const auto run = [&]() -> Result {
        try {
            return body();
        } catch (...) {
            failure = toRuntimeError(std::current_exception()).Description();
            return Result();
        }
    };
    const auto answerFailure = [&] {
        // The messages the hidden program did not show say best what went wrong.
        if (failure.isEmpty() || !calledFromDBus())
            return;
        const QStringList unshown = ui ? ui->unshownSince(unshownBefore) : QStringList();
        sendErrorReply(dbusnames::kFailedError, (unshown + QStringList(failure)).join(u'\n'));
    };
    if constexpr (std::is_void_v<Result>) {
        run();
        answerFailure();
        announceChanges();
    } else {
        Result result = run();
        answerFailure();
        announceChanges();
        return result;
    }
}

QString KnowledgeBaseService::OpenFile(const QString& fileName)
{
    return serve([&] {
        QString name = fileName;
        m_host.live()->OpenFileChecked(name);
        return name;
    });
}

QString KnowledgeBaseService::SaveFile(const QString& fileName)
{
    return serve([&] {
        QString name = fileName;
        m_host.live()->SaveFileChecked(name);
        return name;
    });
}

void KnowledgeBaseService::Refresh() { serve([&] { m_host.live()->Refresh(); }); }
void KnowledgeBaseService::AddLayer() { serve([&] { m_host.live()->AddLayer(); }); }

void KnowledgeBaseService::Quit()
{
    // While the program is shown, the user answers its questions: the client has its answer at once.
    if (!calledFromDBus() || !basGlobal::AutomationMode) {
        serve([&] { m_host.live()->Quit(); });
        return;
    }
    noteCaller();
    setDelayedReply(true);
    QPointer<KnowledgeBaseService> self(this);
    m_host.live()->QuitThen([self, call = message()](bool ended, const QStringList& unshown) {
        if (self)
            self->answerAfterShutdown(call, ended, unshown);
    });
}

void KnowledgeBaseService::CloseFile()
{
    if (!calledFromDBus() || !basGlobal::AutomationMode) {
        serve([&] { m_host.live()->CloseFile(); });
        return;
    }
    noteCaller();
    setDelayedReply(true);
    QPointer<KnowledgeBaseService> self(this);
    m_host.live()->CloseFileThen([self, call = message()](bool ended, const QStringList& unshown) {
        if (self)
            self->answerAfterShutdown(call, ended, unshown);
    });
}

void KnowledgeBaseService::answerAfterShutdown(const QDBusMessage& call, bool ended, const QStringList& unshown)
{
    if (!ended && !unshown.isEmpty())
        m_connection.send(call.createErrorReply(dbusnames::kFailedError, unshown.join(u'\n')));
    else
        m_connection.send(call.createReply());
    if (!ended)
        announceChanges();
}

void KnowledgeBaseService::AppShow() { serve([&] { m_host.live()->AppShow(); }); }
void KnowledgeBaseService::SetTooltipText(const QString& text) { serve([&] { m_host.live()->setTooltipText(text); }); }
void KnowledgeBaseService::SetBackColour(int colour) { serve([&] { m_host.live()->setBackColour(colour); }); }
void KnowledgeBaseService::SetNodeColour(int colour) { serve([&] { m_host.live()->setNodeColour(colour); }); }
void KnowledgeBaseService::SetHighlightColour(int colour) { serve([&] { m_host.live()->setHighlightColour(colour); }); }
void KnowledgeBaseService::SetShadowColour(int colour) { serve([&] { m_host.live()->setShadowColour(colour); }); }

// --- Property changes ------------------------------------------------------------------------------------

QVariantMap KnowledgeBaseService::propertyValues() const
{
    QVariantMap values;
    // Nothing to look at until a knowledge base is live: reading would make one.
    if (!m_host.current())
        return values;
    const QMetaObject& meta = *metaObject();
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        values.insert(QString::fromLatin1(property.name()), property.read(this));
    }
    return values;
}

void KnowledgeBaseService::announceChanges()
{
    const QVariantMap now = propertyValues();
    QVariantMap changed;
    for (auto it = now.begin(); it != now.end(); ++it) {
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_announced = now;
    if (changed.isEmpty() || !m_connection.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(dbusnames::kKnowledgeBasePath,
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal.setArguments({dbusnames::kKnowledgeBaseInterface, changed, QStringList()});
    if (!m_connection.send(signal))
        qWarning("Automation: the changed properties could not be announced: %s", qPrintable(m_connection.lastError().message()));
}

// --- Event sinks and signals -----------------------------------------------------------------------------

void KnowledgeBaseService::RegisterSink(const QDBusObjectPath& path)
{
    if (!calledFromDBus())
        return;
    const QString client = message().service();
    noteCaller();
    UnregisterSink();
    m_sinks.push_back({client, path.path()});
    m_host.live(); // the events come from the live knowledge base from now on
}

void KnowledgeBaseService::UnregisterSink()
{
    if (!calledFromDBus())
        return;
    const QString client = message().service();
    std::erase_if(m_sinks, [&](const Sink& sink) { return sink.client == client; });
}

void KnowledgeBaseService::relay(platform::automation::DispId id, const QString& name, QList<Variant>& arguments)
{
    QVariantList values = busArguments(arguments);
    if (carriesCancel(id) && !arguments.isEmpty()) {
        const auto sinks = m_sinks; // a sink may leave while another one answers
        for (const Sink& sink : sinks) {
            const auto cancel = ask(sink, name, values);
            if (!cancel)
                continue;
            Variant& left = arguments.last();
            left = left.type() == Variant::Type::Boolean ? Variant(cancel->toBool()) : Variant(qint16(cancel->toInt()));
            values.last() = left.type() == Variant::Type::Boolean ? QVariant(left.toBool())
                                                                  : QVariant::fromValue(short(left.toDouble()));
        }
    }
    emitSignal(name, values);
}

std::optional<QVariant> KnowledgeBaseService::ask(const Sink& sink, const QString& event, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(sink.client, sink.path, dbusnames::kEventSinkInterface, event);
    call.setArguments(arguments);
    // The program keeps running while the client thinks (it may call back), but only so long.
    QDBusPendingCallWatcher answer(m_connection.asyncCall(call, int(m_sinkTimeLimit.count())));
    QEventLoop wait;
    connect(&answer, &QDBusPendingCallWatcher::finished, &wait, &QEventLoop::quit);
    QTimer::singleShot(m_sinkTimeLimit + std::chrono::milliseconds(100), &wait, &QEventLoop::quit);
    if (!answer.isFinished())
        wait.exec();
    if (!answer.isFinished() || answer.isError())
        return std::nullopt;
    const QList<QVariant> reply = answer.reply().arguments();
    if (reply.isEmpty())
        return std::nullopt;
    return reply.first();
}

void KnowledgeBaseService::emitSignal(const QString& name, const QVariantList& arguments)
{
    const QMetaObject& meta = *metaObject();
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() != QMetaMethod::Signal || method.name() != name.toLatin1() ||
            method.parameterCount() != arguments.size())
            continue;
        std::array<QGenericArgument, 3> values {};
        std::vector<QVariant> converted;
        converted.reserve(arguments.size());
        for (int k = 0; k < arguments.size() && k < 3; ++k) {
            converted.push_back(arguments.at(k));
            converted.back().convert(method.parameterMetaType(k));
            values[size_t(k)] = QGenericArgument(converted.back().typeName(), converted.back().constData());
        }
        method.invoke(this, Qt::DirectConnection, values[0], values[1], values[2]);
        return;
    }
}

} // namespace kelvane
