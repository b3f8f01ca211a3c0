#pragma once

#include "consult/AbstractConsultationEvents.h"
#include "diagram/AbstractKnowledgeBaseEvents.h"
#include "model/AbstractKnowledgeBase.h"
#include "automation/ProjectStorage.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace platform::automation {
class EventConnection;
}

namespace kelvane {

class AbstractProgressBar;
class Link;
class Node;
class clsNetwork;
class MacroProject;

// The document object of the open knowledge base, as automation clients and the knowledge
// base's macro project see it: a thin view onto the network it is bound to, the main window
// and its diagram control, with the sixteen events through which a consultation is followed and
// steered. The program holds one live instance (see AutomationHost); it owns the knowledge
// base's macro project.
//
// The properties, methods and signals below are the automation interface (_KnowledgeBase and
// __KnowledgeBase, in slot order). Every member runs under the common error trap: a failure ends
// it silently with its neutral result. Event arguments are passed by reference: the raisers
// hand back what the handlers left.
class KnowledgeBase : public QObject,
                      public AbstractKnowledgeBase,
                      public AbstractKnowledgeBaseEvents,
                      public AbstractConsultationEvents,
                      public std::enable_shared_from_this<KnowledgeBase> {
    Q_OBJECT
    Q_PROPERTY(QString GUID READ GUID WRITE setGUID)
    Q_PROPERTY(platform::automation::DispatchObject ApcProject READ ApcProject WRITE setApcProject)
    Q_PROPERTY(platform::automation::DispatchObject Pages READ Pages)
    Q_PROPERTY(platform::automation::DispatchObject Properties READ Properties WRITE setProperties)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(platform::automation::DispatchObject Layers READ Layers)
    Q_PROPERTY(platform::automation::DispatchObject Report READ Report)
    Q_PROPERTY(QString Status READ Status WRITE setStatus)
    Q_PROPERTY(QString KBName READ KBName WRITE setKBName)
    Q_PROPERTY(QString KBDescription READ KBDescription WRITE setKBDescription)
    Q_PROPERTY(QString Author READ Author WRITE setAuthor)
    Q_PROPERTY(QString Copyright READ Copyright WRITE setCopyright)
    Q_PROPERTY(platform::automation::DispatchObject MenuItems READ MenuItems WRITE setMenuItems)
    Q_PROPERTY(platform::automation::DispatchObject ReportMenuItems READ ReportMenuItems WRITE setReportMenuItems)
    Q_PROPERTY(bool EditMode READ EditMode)
    Q_PROPERTY(qint16 NetworkType READ NetworkType)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool AutoAnswer READ AutoAnswer WRITE setAutoAnswer)
    Q_PROPERTY(bool ShowAnswer READ ShowAnswer WRITE setShowAnswer)
    Q_PROPERTY(QString ScenarioName READ ScenarioName WRITE setScenarioName)
    Q_PROPERTY(QString ScenarioDescription READ ScenarioDescription WRITE setScenarioDescription)
    Q_PROPERTY(QString LastModified READ LastModified WRITE setLastModified)

public:
    using DispatchObject = platform::automation::DispatchObject;
    static constexpr const char* kClassName = "KnowledgeBase";

    // A new knowledge base, unbound; GUID is a new GUID string.
    static std::shared_ptr<KnowledgeBase> create();
    ~KnowledgeBase() override;

    // This object as automation callers hold it (the reference keeps it alive).
    DispatchObject dispatch();
    // The automation object of a knowledge base of the model; Nothing for any other.
    static DispatchObject dispatchOf(const std::shared_ptr<AbstractKnowledgeBase>& knowledgeBase);

    // --- _KnowledgeBase --------------------------------------------------------------------------

    QString GUID() const { return m_guid; }
    void setGUID(const QString& guid) { m_guid = guid; }
    DispatchObject ApcProject();
    void setApcProject(const DispatchObject& project);
    // One page for each network the diagram control holds, keyed by GUID, in its order.
    DispatchObject Pages();
    DispatchObject Properties();
    void setProperties(const DispatchObject& properties);
    QString FileName();
    // Macro code that names another file than the user's document must have the user's leave.
    void setFileName(const QString& fileName);
    // Opens the document (the current file when no name is given) with its own macro project.
    // The Load event follows an open that succeeded (but not inside a Load under way). A
    // document that cannot be opened whole leaves the open one as it was. Refused while a step
    // of a consultation is under way, which works on the open document.
    Q_INVOKABLE void OpenFile();
    Q_INVOKABLE void OpenFile(QString& strFileName);
    // Saves the document through the diagram control; under a name given, the program's Save As
    // writes it with its macro project, and the document keeps that name once it was written. A
    // save that fails leaves the file name as it was. Macro code may write another file than the
    // user's document only with the user's leave.
    Q_INVOKABLE void SaveFile();
    Q_INVOKABLE void SaveFile(QString& strFileName);
    DispatchObject Layers();
    // A new report on every read.
    DispatchObject Report();
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void AddLayer();
    Q_INVOKABLE void setTooltipText(const QString& text);
    Q_INVOKABLE void setBackColour(qint32 colour);
    Q_INVOKABLE void setNodeColour(qint32 colour);
    Q_INVOKABLE void setHighlightColour(qint32 colour);
    Q_INVOKABLE void setShadowColour(qint32 colour);
    // The status bar's text while the main window is ready; otherwise "" and writes are ignored.
    QString Status();
    void setStatus(const QString& text);
    QString KBName();
    void setKBName(const QString& text);
    QString KBDescription();
    void setKBDescription(const QString& text);
    QString Author();
    void setAuthor(const QString& text);
    QString Copyright();
    void setCopyright(const QString& text);
    // The macro project's entries of the Tools and Reports menus; each write rebuilds its menu.
    DispatchObject MenuItems();
    void setMenuItems(const DispatchObject& items);
    DispatchObject ReportMenuItems();
    void setReportMenuItems(const DispatchObject& items);
    // Asks for the program's normal shutdown once the call has returned and no event, yield,
    // nested loop or load of the main window is under way.
    Q_INVOKABLE void Quit();
    bool EditMode() const { return false; }
    qint16 NetworkType();
    // Closes the main window (the program's shutdown; after any event under way), then the macro
    // project; the project stays when the shutdown was refused.
    Q_INVOKABLE void CloseFile();
    // The main window is shown; false while the program runs hidden for an automation client.
    bool Visible() const;
    void setVisible(bool visible);
    Q_INVOKABLE void AppShow() { setVisible(true); }
    bool AutoAnswer() override;
    void setAutoAnswer(bool value);
    bool ShowAnswer();
    void setShowAnswer(bool value);
    QString ScenarioName();
    void setScenarioName(const QString& text);
    QString ScenarioDescription();
    void setScenarioDescription(const QString& text);
    // The latest last-modified date of the open networks, as its network stores it; "" for none
    // after 1 January 1900. A date written is stored in ISO 8601.
    QString LastModified();
    void setLastModified(const QString& text);

    // --- Program-only members ------------------------------------------------------------------

    // OpenFile and SaveFile, raising the failure (a RuntimeError saying what went wrong).
    void OpenFileChecked(QString& strFileName);
    void SaveFileChecked(QString& strFileName);
    // Quit and CloseFile, with `done` told once the shutdown ran (whether the program ended,
    // and the messages the hidden program did not show meanwhile).
    using ShutdownDone = std::function<void(bool ended, const QStringList& unshown)>;
    void QuitThen(ShutdownDone done);
    void CloseFileThen(ShutdownDone done);

    // The name of the macro project's item that stands for this object ("KnowledgeBase"): its
    // handlers are named after it. Blanks in a name given become "_".
    QString Name() const { return m_itemName; }
    void setName(const QString& name);

    // The bound network, made empty on first use.
    std::shared_ptr<AbstractNetwork> Network() override;
    std::shared_ptr<clsNetwork> BoundNetwork();
    // Binds the network: every layer of it gets this knowledge base.
    void setNetwork(const std::shared_ptr<clsNetwork>& network);

    bool QuitRequested() const { return m_quitRequested; }

    // The document the user chose: opened or saved through the window, or by an automation
    // client (a document macro code opened is not one). Macro code may write it unasked.
    QString UserDocument() const { return m_userDocument; }
    void setUserDocument(const QString& fileName) { m_userDocument = fileName; }

    // The names of the menu items and report menu items, in order.
    QStringList MenuItemNames();
    QStringList ReportMenuItemNames();

    // The macro project: a new empty one named after the knowledge base; the project stored
    // with the document `documentName` (the file name when empty); the project's item for this
    // object, through which its handlers hear the events; the save of the project with the
    // document; and the close.
    void NewProject();
    // `tellForeign`: the user is told when the storage carries data of other programs (macros of
    // another kind among them).
    bool OpenProject(const QString& documentName = {}, bool tellForeign = false);
    void Class_Connect();
    // Writes the project for the document about to be saved at `documentPath`: into that compound
    // file, or into the file beside a document kept as XML, with every entry the document's
    // storage held besides it. True when written, or when there is nothing to write. A storage
    // named "Macros" that another program wrote is not replaced: the user is told, nothing is
    // written and the result is false.
    bool WriteProject(const QString& documentPath);
    // The project, then the document through the diagram control; the result of the document's save.
    bool SaveProj(const QString& documentName, AbstractProgressBar* progressBar);
    void CloseProject();
    // After a save: the project is read again from the document's storage. When it cannot be
    // read, the project in memory is kept, so the next save writes it again.
    void ReopenProject(const QString& documentName);
    std::shared_ptr<MacroProject> Project() const { return m_project; }
    // The editor's save: the project with its document, through the program's save (a read-only
    // document is refused; an unnamed one is first given a name).
    void ApcProject_Save();

    // The items of MenuItems, then of ReportMenuItems, whose name is `name`.
    std::vector<DispatchObject> MenuItemsNamed(const QString& name);

    // --- Raisers -------------------------------------------------------------------------------

    void FireNewDocument();
    void FireLoad(bool& Cancel);
    void FireBeforeClose(bool& Cancel);
    // The consultation's events hand back the node a handler left in Node1 (null for Nothing);
    // the consultation itself reads only Cancel (the overrides of AbstractConsultationEvents).
    void FireNodeAnswer(std::shared_ptr<Node>& node, bool& Cancel);
    // A handler that cancels marks the node's network changed.
    void FireNodeQuestion(std::shared_ptr<Node>& node, bool& Cancel);
    void FireNodePrecondition(std::shared_ptr<Node>& node, bool& Cancel);
    void FireNodeAfterAnswer(std::shared_ptr<Node>& node, qint16& flag);
    // A handler that sets the flag marks the node's network changed.
    void FireNodeAfterQuestion(std::shared_ptr<Node>& node, qint16& flag);
    void FireNodeAfterPrecondition(std::shared_ptr<Node>& node, qint16& flag);
    void FireNodeAnswer(const std::shared_ptr<Node>& node, bool& Cancel) override;
    void FireNodeQuestion(const std::shared_ptr<Node>& node, bool& Cancel) override;
    void FireNodePrecondition(const std::shared_ptr<Node>& node, bool& Cancel) override;
    void FireNodeAfterAnswer(const std::shared_ptr<Node>& node, qint16& flag) override;
    void FireNodeAfterQuestion(const std::shared_ptr<Node>& node, qint16& flag) override;
    void FireNodeAfterPrecondition(const std::shared_ptr<Node>& node, qint16& flag) override;
    void FireNetworkMouseMove(float& X, float& Y) override;
    void FireNetworkMouseClick(qint16& Button) override;
    void FireNodeMouseMove(std::shared_ptr<Node>& node) override;
    void FireNodeMouseClick(qint16& Button, std::shared_ptr<Node>& node) override;
    void FireLinkMouseMove(std::shared_ptr<Link>& link) override;
    void FireLinkMouseClick(qint16& Button, std::shared_ptr<Link>& link) override;
    void FireMenuClick(DispatchObject& menuItem);

Q_SIGNALS:
    void NewDocument();
    void Load(bool& Cancel);
    void Unload(bool& Cancel);
    void BeforeAnswer(platform::automation::DispatchObject& Node1, bool& Cancel);
    void BeforeQuestion(platform::automation::DispatchObject& Node1, bool& Cancel);
    void BeforePrecondition(platform::automation::DispatchObject& Node1, bool& Cancel);
    void AfterAnswer(platform::automation::DispatchObject& Node1, qint16& Cancel);
    void AfterQuestion(platform::automation::DispatchObject& Node1, qint16& Cancel);
    void AfterPrecondition(platform::automation::DispatchObject& Node1, qint16& Cancel);
    void MouseMove(float& x, float& y);
    void MouseClick(qint16& Button);
    void NodeMouseMove(platform::automation::DispatchObject& Node1);
    void NodeMouseClick(qint16& Button, platform::automation::DispatchObject& Node1);
    void LinkMouseMove(platform::automation::DispatchObject& Link1);
    void LinkMouseClick(qint16& Button, platform::automation::DispatchObject& Link1);
    void MenuClick(platform::automation::DispatchObject& MenuItem1);

private:
    KnowledgeBase();

    // The network as the diagram control shows it: when no control shows it yet, the main
    // window's control is given it.
    void tieToDiagram();
    // The networks of the diagram control, or the bound one alone when no window is there.
    std::vector<std::shared_ptr<clsNetwork>> openNetworks();
    void markChanged(const std::shared_ptr<Node>& node);
    // Where the project of the document is kept: the ".vba" file beside a document kept as XML
    // (whatever its name), else the document itself.
    QString projectFileOf(const QString& documentName);
    // A project named after the knowledge base's name text, blanks kept, for a document without
    // one (or whose project could not be read).
    void startUnstoredProject();
    // Keeps what the project's file holds besides the project, to be written back with it; no
    // module may take the name of a storage kept among the modules.
    void carry(projectstorage::CarriedEntries carried);
    // Raises the event under the error trap, counted as an event under way.
    template <class Body>
    void raising(const char* raiser, Body&& body);
    // Macro code may write `fileName` (another file than the user's document) only with the
    // user's leave, which makes it the user's document; raises PathFileAccess when it has none.
    void requireLeaveToWrite(const QString& fileName);
    QString documentNameOr(const QString& documentName);
    std::vector<DispatchObject> menuItemsIn(const DispatchObject& collection);
    void rebuildMenus(bool tools);

    QString m_guid;
    std::shared_ptr<clsNetwork> m_network;
    std::shared_ptr<MacroProject> m_project;
    std::unique_ptr<platform::automation::EventConnection> m_projectItem;
    projectstorage::CarriedEntries m_carried;
    QString m_itemName = QStringLiteral("KnowledgeBase");
    QString m_userDocument;
    bool m_loadUnderWay = false;
    DispatchObject m_menuItems;
    DispatchObject m_reportMenuItems;
    bool m_quitRequested = false;
};

} // namespace kelvane
