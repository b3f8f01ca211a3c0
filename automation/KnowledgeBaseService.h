#pragma once

#include "platform/Variant.h"
#include "platform/automation/TypeLibrary.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>
#include <QVariantMap>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace platform::automation {
class EventConnection;
}

namespace kelvane {

class AutomationHost;
class BusClients;
class BusObjectTree;

// The program's live KnowledgeBase on the session bus, for automation clients in other
// processes. Every call reaches the one live knowledge base of the open document (made on first
// use). The members whose values are objects hand out the paths of those objects (see
// BusObjectTree); the events name nodes and links by their GUIDs, menu items by their names.
//
// A call that fails answers the error org.kelvane.Kelvane.Error.Failed saying why; while the
// program runs hidden, that is also the way the messages it does not show reach the client. Quit
// and CloseFile answer once the shutdown they ask for ran (when the program runs hidden).
//
// Every property that changes is announced with PropertiesChanged, the change found after each
// call and, for changes made in the program itself, within a second.
//
// Every event goes out as a signal. A client that registered an event sink (RegisterSink with
// the path of an object implementing org.kelvane.Kelvane.KnowledgeBaseEvents) is also asked,
// before the signal, about each event that carries a Cancel; its answer becomes the Cancel.
// A sink that does not answer within the time limit, or answers with an error, leaves the Cancel
// as it was.
class KnowledgeBaseService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kelvane.Kelvane.KnowledgeBase")
    Q_PROPERTY(QString GUID READ GUID WRITE setGUID)
    Q_PROPERTY(QDBusObjectPath ApcProject READ ApcProject)
    Q_PROPERTY(QList<QDBusObjectPath> Pages READ Pages)
    Q_PROPERTY(QList<QDBusObjectPath> Properties READ Properties)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(QList<QDBusObjectPath> Layers READ Layers)
    Q_PROPERTY(QDBusObjectPath Report READ Report)
    Q_PROPERTY(QString Status READ Status WRITE setStatus)
    Q_PROPERTY(QString KBName READ KBName WRITE setKBName)
    Q_PROPERTY(QString KBDescription READ KBDescription WRITE setKBDescription)
    Q_PROPERTY(QString Author READ Author WRITE setAuthor)
    Q_PROPERTY(QString Copyright READ Copyright WRITE setCopyright)
    Q_PROPERTY(QList<QDBusObjectPath> MenuItems READ MenuItems)
    Q_PROPERTY(QList<QDBusObjectPath> ReportMenuItems READ ReportMenuItems)
    Q_PROPERTY(bool EditMode READ EditMode)
    Q_PROPERTY(short NetworkType READ NetworkType)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool AutoAnswer READ AutoAnswer WRITE setAutoAnswer)
    Q_PROPERTY(bool ShowAnswer READ ShowAnswer WRITE setShowAnswer)
    Q_PROPERTY(QString ScenarioName READ ScenarioName WRITE setScenarioName)
    Q_PROPERTY(QString ScenarioDescription READ ScenarioDescription WRITE setScenarioDescription)
    Q_PROPERTY(QString LastModified READ LastModified WRITE setLastModified)

public:
    static constexpr std::chrono::milliseconds kDefaultSinkTimeLimit {2000};

    KnowledgeBaseService(AutomationHost& host, QDBusConnection connection, BusClients& clients,
                         std::chrono::milliseconds sinkTimeLimit = kDefaultSinkTimeLimit);
    ~KnowledgeBaseService() override;

    // The tree of the objects the knowledge base hands out, to be offered on the bus.
    BusObjectTree& objects() const { return *m_objects; }

    QString GUID() const;
    void setGUID(const QString& value);
    QDBusObjectPath ApcProject() const;
    QList<QDBusObjectPath> Pages() const;
    QList<QDBusObjectPath> Properties() const;
    QList<QDBusObjectPath> Layers() const;
    QDBusObjectPath Report() const;
    QList<QDBusObjectPath> MenuItems() const;
    QList<QDBusObjectPath> ReportMenuItems() const;
    QString FileName() const;
    void setFileName(const QString& value);
    QString Status() const;
    void setStatus(const QString& value);
    QString KBName() const;
    void setKBName(const QString& value);
    QString KBDescription() const;
    void setKBDescription(const QString& value);
    QString Author() const;
    void setAuthor(const QString& value);
    QString Copyright() const;
    void setCopyright(const QString& value);
    bool EditMode() const { return false; }
    short NetworkType() const;
    bool Visible() const;
    void setVisible(bool value);
    bool AutoAnswer() const;
    void setAutoAnswer(bool value);
    bool ShowAnswer() const;
    void setShowAnswer(bool value);
    QString ScenarioName() const;
    void setScenarioName(const QString& value);
    QString ScenarioDescription() const;
    void setScenarioDescription(const QString& value);
    QString LastModified() const;
    void setLastModified(const QString& value);

    // The events as the relay hands them over.
    void relay(platform::automation::DispId id, const QString& name, QList<kelvane::Variant>& arguments);

public Q_SLOTS:
    // The name opened or saved (the current one when none was given).
    Q_SCRIPTABLE QString OpenFile(const QString& fileName);
    Q_SCRIPTABLE QString SaveFile(const QString& fileName);
    Q_SCRIPTABLE void Refresh();
    Q_SCRIPTABLE void AddLayer();
    Q_SCRIPTABLE void Quit();
    Q_SCRIPTABLE void CloseFile();
    Q_SCRIPTABLE void AppShow();
    Q_SCRIPTABLE void SetTooltipText(const QString& text);
    Q_SCRIPTABLE void SetBackColour(int colour);
    Q_SCRIPTABLE void SetNodeColour(int colour);
    Q_SCRIPTABLE void SetHighlightColour(int colour);
    Q_SCRIPTABLE void SetShadowColour(int colour);
    // The calling client's object at `path` hears the events that carry a Cancel, until the
    // client unregisters it or leaves the bus.
    Q_SCRIPTABLE void RegisterSink(const QDBusObjectPath& path);
    Q_SCRIPTABLE void UnregisterSink();

Q_SIGNALS:
    Q_SCRIPTABLE void NewDocument();
    Q_SCRIPTABLE void Load(bool Cancel);
    Q_SCRIPTABLE void Unload(bool Cancel);
    Q_SCRIPTABLE void BeforeAnswer(const QString& Node1, bool Cancel);
    Q_SCRIPTABLE void BeforeQuestion(const QString& Node1, bool Cancel);
    Q_SCRIPTABLE void BeforePrecondition(const QString& Node1, bool Cancel);
    Q_SCRIPTABLE void AfterAnswer(const QString& Node1, short Cancel);
    Q_SCRIPTABLE void AfterQuestion(const QString& Node1, short Cancel);
    Q_SCRIPTABLE void AfterPrecondition(const QString& Node1, short Cancel);
    Q_SCRIPTABLE void MouseMove(double x, double y);
    Q_SCRIPTABLE void MouseClick(short Button);
    Q_SCRIPTABLE void NodeMouseMove(const QString& Node1);
    Q_SCRIPTABLE void NodeMouseClick(short Button, const QString& Node1);
    Q_SCRIPTABLE void LinkMouseMove(const QString& From, const QString& To);
    Q_SCRIPTABLE void LinkMouseClick(short Button, const QString& From, const QString& To);
    Q_SCRIPTABLE void MenuClick(const QString& MenuItem1);

private:
    struct Sink {
        QString client;
        QString path;
    };

    void adviseLive();
    // The caller of the call under way counts as a client.
    void noteCaller();
    // Runs a call for a client: a failure becomes the error answer, as do the messages the hidden
    // program did not show meanwhile.
    template <class Body>
    auto serve(Body&& body) -> decltype(body());
    // Answers a call held back until the shutdown it asked for ran.
    void answerAfterShutdown(const QDBusMessage& call, bool ended, const QStringList& unshown);
    // Announces the properties whose values changed since the last look.
    void announceChanges();
    QVariantMap propertyValues() const;
    // The Cancel a sink leaves; nothing when it did not answer in time or well.
    std::optional<QVariant> ask(const Sink& sink, const QString& event, const QVariantList& arguments);
    void emitSignal(const QString& name, const QVariantList& arguments);

    AutomationHost& m_host;
    QDBusConnection m_connection;
    std::chrono::milliseconds m_sinkTimeLimit;
    BusClients& m_clients;
    std::vector<Sink> m_sinks;
    std::unique_ptr<platform::automation::EventConnection> m_events;
    std::unique_ptr<BusObjectTree> m_objects;
    QVariantMap m_announced; // the property values clients were told of last
    QTimer m_changes;
};

} // namespace kelvane
