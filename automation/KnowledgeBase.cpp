#include "automation/KnowledgeBase.h"

#include "automation/APCIntegration.h"
#include "automation/AutomationHost.h"
#include "automation/CollectionObject.h"
#include "automation/KelvaneTypeLibrary.h"
#include "automation/KnowledgeBaseWindow.h"
#include "automation/LastModifiedDate.h"
#include "automation/LayerObject.h"
#include "automation/LinkObject.h"
#include "automation/MacroEventSink.h"
#include "automation/MacroProject.h"
#include "automation/MacroProjectObject.h"
#include "automation/MenuItem.h"
#include "automation/NodeObject.h"
#include "automation/PageObject.h"
#include "automation/ProjectStorage.h"
#include "automation/PropertyObject.h"
#include "automation/ReportObject.h"
#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/Page.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "network/BusyPointer.h"
#include "network/NetworkSupport.h"
#include "network/clsNetwork.h"
#include "platform/FileDialogs.h"
#include "platform/HostPath.h"
#include "platform/UiServices.h"
#include "platform/automation/EventConnection.h"
#include "shell/DocumentFiles.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"

#include <QFileInfo>
#include <QScopedValueRollback>
#include <utility>

namespace kelvane {

using namespace automation;

namespace {

constexpr const char* kModule = "KnowledgeBase";
const QString kProjectItem = QStringLiteral("KnowledgeBase");

KnowledgeBaseWindow* mainWindow()
{
    const AutomationHost* host = automationHost();
    return host ? host->window() : nullptr;
}

APCIntegration* macroHost()
{
    const AutomationHost* host = automationHost();
    return host ? &host->macroHost() : nullptr;
}

QString withoutBlanks(const QString& text)
{
    return basLibrary::ReplaceAll(text, QStringLiteral(" "), QString());
}

// A handler may give an event back another object of the same class, or Nothing.
template <class View>
void handBack(const DispatchObject& left, std::shared_ptr<typename View::Model>& model)
{
    if (left.isNothing())
        model.reset();
    else if (auto changed = modelOf<View>(left))
        model = std::move(changed);
}

// A document's name with what the network derives from it, given back after a failure.
class DocumentName {
public:
    explicit DocumentName(const clsNetwork& network)
        : m_fileName(network.FileName()), m_structured(network.Structured), m_networkType(network.NetworkType)
    {
    }
    void restore(clsNetwork& network) const
    {
        network.setFileName(m_fileName);
        network.Structured = m_structured;
        network.NetworkType = m_networkType;
    }

private:
    QString m_fileName;
    bool m_structured;
    qint16 m_networkType;
};

// Counts an event under way for as long as it lives.
class EventUnderWay {
public:
    EventUnderWay() : m_host(automationHost())
    {
        if (m_host)
            m_host->beginEvent();
    }
    ~EventUnderWay()
    {
        if (m_host)
            m_host->endEvent();
    }
    EventUnderWay(const EventUnderWay&) = delete;
    EventUnderWay& operator=(const EventUnderWay&) = delete;

private:
    AutomationHost* m_host;
};

bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return a == b;
    return QFileInfo(platform::hostPath(a)).absoluteFilePath() == QFileInfo(platform::hostPath(b)).absoluteFilePath();
}

} // namespace

template <class Body>
void KnowledgeBase::raising(const char* raiser, Body&& body)
{
    const EventUnderWay underWay;
    trappedVoid(kModule, raiser, std::forward<Body>(body));
}

std::shared_ptr<KnowledgeBase> KnowledgeBase::create()
{
    return std::shared_ptr<KnowledgeBase>(new KnowledgeBase());
}

KnowledgeBase::KnowledgeBase()
    : m_guid(basLibrary::NewGUIDString())
{
}

KnowledgeBase::~KnowledgeBase() = default;

DispatchObject KnowledgeBase::dispatch()
{
    return dispatchOf(shared_from_this());
}

DispatchObject KnowledgeBase::dispatchOf(const std::shared_ptr<AbstractKnowledgeBase>& knowledgeBase)
{
    const auto own = std::dynamic_pointer_cast<KnowledgeBase>(knowledgeBase);
    return own ? automation::dispatchOf(own) : DispatchObject();
}

// --- The bound network -------------------------------------------------------------------------------

std::shared_ptr<AbstractNetwork> KnowledgeBase::Network()
{
    return BoundNetwork();
}

std::shared_ptr<clsNetwork> KnowledgeBase::BoundNetwork()
{
    if (!m_network)
        m_network = clsNetwork::create();
    return m_network;
}

void KnowledgeBase::setNetwork(const std::shared_ptr<clsNetwork>& network)
{
    trappedVoid(kModule, "Network", [&] {
        m_network = network;
        if (!m_network)
            return;
        for (const auto& layer : m_network->Layers())
            layer->KnowledgeBase = shared_from_this();
    });
}

void KnowledgeBase::tieToDiagram()
{
    const auto network = BoundNetwork();
    if (network->ParentDisplay.expired()) {
        if (KnowledgeBaseWindow* window = mainWindow())
            window->ctlPelnet1().setNetwork(network);
    }
}

std::vector<std::shared_ptr<clsNetwork>> KnowledgeBase::openNetworks()
{
    std::vector<std::shared_ptr<clsNetwork>> networks;
    if (KnowledgeBaseWindow* window = mainWindow()) {
        for (const auto& network : window->ctlPelnet1().Networks.Snapshot()) {
            if (network)
                networks.push_back(network);
        }
    }
    if (networks.empty())
        networks.push_back(BoundNetwork());
    return networks;
}

// --- _KnowledgeBase -------------------------------------------------------------------------------------

DispatchObject KnowledgeBase::ApcProject()
{
    return m_project ? viewOf<MacroProjectObject>(m_project) : DispatchObject();
}

void KnowledgeBase::setApcProject(const DispatchObject& project)
{
    trappedVoid(kModule, "ApcProject", [&] {
        if (!project.isNothing() && !modelOf<MacroProjectObject>(project))
            raiseError(err::TypeMismatch);
        m_projectItem.reset();
        m_project = modelOf<MacroProjectObject>(project);
    });
}

DispatchObject KnowledgeBase::Pages()
{
    return trapped(kModule, "Pages", createObject<CollectionObject>(), [&] {
        tieToDiagram();
        auto pages = std::make_shared<CollectionObject>();
        for (const auto& network : openNetworks()) {
            const auto page = network->Page();
            const QString key = page->GUID();
            pages->Add(viewOf<PageObject>(page).toVariant(),
                       key.isEmpty() || pages->items().Contains(key) ? Variant() : Variant(key));
        }
        return automation::dispatchOf(pages);
    });
}

DispatchObject KnowledgeBase::Properties()
{
    return trapped(kModule, "Properties", createObject<CollectionObject>(),
                   [&] { return CollectionObject::of<PropertyObject>(BoundNetwork()->Properties); });
}

void KnowledgeBase::setProperties(const DispatchObject& properties)
{
    trappedVoid(kModule, "Properties",
                [&] { BoundNetwork()->Properties = CollectionObject::modelsOf<PropertyObject>(properties); });
}

QString KnowledgeBase::FileName()
{
    return trapped(kModule, "FileName", QString(), [&] { return BoundNetwork()->FileName(); });
}

void KnowledgeBase::setFileName(const QString& fileName)
{
    trappedVoid(kModule, "FileName", [&] {
        requireLeaveToWrite(fileName);
        BoundNetwork()->setFileName(fileName);
    });
}

void KnowledgeBase::requireLeaveToWrite(const QString& fileName)
{
    // Macros come with documents: one may not write over the user's other files unasked.
    const AutomationHost* host = automationHost();
    if (!host || !host->macroHost().macroCodeRunning() || sameFile(fileName, BoundNetwork()->FileName()))
        return;
    const int answer = platform::ui().messageBox(
        QStringLiteral("A macro of this knowledge base wants to save it as\r%1\rDo you allow it?").arg(fileName),
        platform::msgbox::YesNo | platform::msgbox::Exclamation | platform::msgbox::DefaultButton2,
        platform::applicationTitle());
    if (answer != platform::msgbox::Yes)
        raiseError(err::PathFileAccess, QStringLiteral("The macro was not allowed to save the knowledge base as %1.").arg(fileName));
}

void KnowledgeBase::OpenFile()
{
    QString fileName;
    OpenFile(fileName);
}

void KnowledgeBase::OpenFile(QString& strFileName)
{
    trappedVoid(kModule, "OpenFile", [&] { OpenFileChecked(strFileName); });
}

void KnowledgeBase::OpenFileChecked(QString& strFileName)
{
    if (strFileName.isEmpty())
        strFileName = BoundNetwork()->FileName();
    platform::ui().yield();
    KnowledgeBaseWindow* window = mainWindow();
    if (!window) {
        BoundNetwork()->setFileName(strFileName);
        Refresh();
        return;
    }
    // The document is opened aside: one that cannot be opened whole leaves the open one, its
    // name and its macro project as they were.
    ctlPelnet opened;
    opened.ParentForm = window->ctlPelnet1().ParentForm;
    opened.Network()->setFileName(strFileName);
    if (strFileName.isEmpty() || !opened.FileOpen(window->ProgressBar1()))
        raiseError(err::PathFileAccess, strFileName + QStringLiteral(" could not be opened."));
    window->ctlPelnet1().TakeDocument(opened);
    setNetwork(window->ctlPelnet1().Network());
    // The document's own macro project, as the window's open gives it.
    OpenProject(strFileName, true);
    Class_Connect();
    Refresh();
    // A Load handler that opens a document does not start another Load.
    if (!m_loadUnderWay) {
        bool cancel = false;
        FireLoad(cancel);
    }
}

void KnowledgeBase::SaveFile()
{
    QString fileName;
    SaveFile(fileName);
}

void KnowledgeBase::SaveFile(QString& strFileName)
{
    trappedVoid(kModule, "SaveFile", [&] { SaveFileChecked(strFileName); });
}

void KnowledgeBase::SaveFileChecked(QString& strFileName)
{
    const auto network = BoundNetwork();
    const DocumentName previous(*network);
    if (strFileName.isEmpty()) {
        strFileName = network->FileName();
    } else if (strFileName != network->FileName()) {
        requireLeaveToWrite(strFileName);
        network->setFileName(strFileName);
    }
    KnowledgeBaseWindow* window = mainWindow();
    if (!window || strFileName.isEmpty() || !window->ctlPelnet1().FileSave()) {
        previous.restore(*network);
        raiseError(err::PathFileAccess, strFileName + QStringLiteral(" could not be saved."));
    }
    Refresh();
}

DispatchObject KnowledgeBase::Layers()
{
    return trapped(kModule, "Layers", createObject<CollectionObject>(),
                   [&] { return CollectionObject::of<LayerObject>(BoundNetwork()->Layers()); });
}

DispatchObject KnowledgeBase::Report()
{
    return trapped(kModule, "Report", DispatchObject(), [&] {
        auto report = std::make_shared<kelvane::Report>();
        report->KnowledgeBase = shared_from_this();
        return viewOf<ReportObject>(report);
    });
}

void KnowledgeBase::Refresh()
{
    trappedVoid(kModule, "Refresh", [&] {
        KnowledgeBaseWindow* window = mainWindow();
        if (basGlobal::MainWindowReady == 1 && window)
            window->ctlPelnet1().DrawNetwork();
        if (m_project)
            m_project->setName(withoutBlanks(KBName()));
    });
}

void KnowledgeBase::AddLayer()
{
    trappedVoid(kModule, "AddLayer", [&] {
        const auto network = BoundNetwork();
        network->AddLayer();
        setNetwork(network);
    });
}

void KnowledgeBase::setTooltipText(const QString& text)
{
    trappedVoid(kModule, "TooltipText", [&] { BoundNetwork()->TooltipText = text; });
}

void KnowledgeBase::setBackColour(qint32 colour)
{
    trappedVoid(kModule, "BackColour", [&] { BoundNetwork()->BackColour = colour; });
}

void KnowledgeBase::setNodeColour(qint32 colour)
{
    trappedVoid(kModule, "NodeColour", [&] { BoundNetwork()->NodeColour = colour; });
}

void KnowledgeBase::setHighlightColour(qint32 colour)
{
    trappedVoid(kModule, "HighlightColour", [&] { BoundNetwork()->HighlightColour = colour; });
}

void KnowledgeBase::setShadowColour(qint32 colour)
{
    trappedVoid(kModule, "ShadowColour", [&] { BoundNetwork()->ShadowColour = colour; });
}

QString KnowledgeBase::Status()
{
    return trapped(kModule, "Status", QString(), [&] {
        KnowledgeBaseWindow* window = mainWindow();
        return basGlobal::MainWindowReady == 1 && window ? window->StatusText() : QString();
    });
}

void KnowledgeBase::setStatus(const QString& text)
{
    trappedVoid(kModule, "Status", [&] {
        if (KnowledgeBaseWindow* window = mainWindow(); basGlobal::MainWindowReady == 1 && window)
            window->setStatusText(text);
    });
}

QString KnowledgeBase::KBName()
{
    return trapped(kModule, "KBName", QString(), [&] { return BoundNetwork()->Name()->Text(); });
}

void KnowledgeBase::setKBName(const QString& text)
{
    trappedVoid(kModule, "KBName", [&] { BoundNetwork()->Name()->setText(text); });
}

QString KnowledgeBase::KBDescription()
{
    return trapped(kModule, "KBDescription", QString(), [&] { return BoundNetwork()->KBDescription()->Text(); });
}

void KnowledgeBase::setKBDescription(const QString& text)
{
    trappedVoid(kModule, "KBDescription", [&] { BoundNetwork()->KBDescription()->setText(text); });
}

QString KnowledgeBase::Author()
{
    return trapped(kModule, "Author", QString(), [&] { return BoundNetwork()->Author()->Text(); });
}

void KnowledgeBase::setAuthor(const QString& text)
{
    trappedVoid(kModule, "Author", [&] { BoundNetwork()->Author()->setText(text); });
}

QString KnowledgeBase::Copyright()
{
    return trapped(kModule, "Copyright", QString(), [&] { return BoundNetwork()->Copyright()->Text(); });
}

void KnowledgeBase::setCopyright(const QString& text)
{
    trappedVoid(kModule, "Copyright", [&] { BoundNetwork()->Copyright()->setText(text); });
}

DispatchObject KnowledgeBase::MenuItems()
{
    if (m_menuItems.isNothing())
        m_menuItems = createObject<CollectionObject>();
    return m_menuItems;
}

void KnowledgeBase::setMenuItems(const DispatchObject& items)
{
    trappedVoid(kModule, "MenuItems", [&] {
        if (!items.isNothing() && !qobject_cast<CollectionObject*>(items.object()))
            raiseError(err::TypeMismatch);
        m_menuItems = items;
        rebuildMenus(true);
    });
}

DispatchObject KnowledgeBase::ReportMenuItems()
{
    if (m_reportMenuItems.isNothing())
        m_reportMenuItems = createObject<CollectionObject>();
    return m_reportMenuItems;
}

void KnowledgeBase::setReportMenuItems(const DispatchObject& items)
{
    trappedVoid(kModule, "ReportMenuItems", [&] {
        if (!items.isNothing() && !qobject_cast<CollectionObject*>(items.object()))
            raiseError(err::TypeMismatch);
        m_reportMenuItems = items;
        rebuildMenus(false);
    });
}

void KnowledgeBase::rebuildMenus(bool tools)
{
    if (KnowledgeBaseWindow* window = mainWindow()) {
        if (tools)
            window->PopulateToolsMenu();
        else
            window->PopulateReportsMenu();
    }
}

void KnowledgeBase::Quit()
{
    QuitThen({});
}

void KnowledgeBase::QuitThen(ShutdownDone done)
{
    m_quitRequested = true;
    // The shutdown runs once the caller has its answer; a veto keeps the program running.
    if (AutomationHost* host = automationHost(); host && host->window())
        host->shutdown().request(std::move(done), ShutdownRequest::When::Later);
    else if (done)
        done(false, {});
}

qint16 KnowledgeBase::NetworkType()
{
    return trapped(kModule, "NetworkType", qint16(0), [&] { return BoundNetwork()->NetworkType; });
}

void KnowledgeBase::CloseFile()
{
    CloseFileThen({});
}

void KnowledgeBase::CloseFileThen(ShutdownDone done)
{
    trappedVoid(kModule, "CloseFile", [&] {
        AutomationHost* host = automationHost();
        KnowledgeBaseWindow* window = mainWindow();
        if (host && window && !BoundNetwork()->ParentDisplay.expired() && window->ctlPelnet1().ParentForm) {
            // The project goes with the window; a refused shutdown keeps both.
            std::weak_ptr<KnowledgeBase> self = shared_from_this();
            host->shutdown().request(
                [self, done = std::move(done)](bool ended, const QStringList& unshown) {
                    if (const auto knowledgeBase = self.lock(); knowledgeBase && ended)
                        knowledgeBase->CloseProject();
                    if (done)
                        done(ended, unshown);
                },
                ShutdownRequest::When::AsSoonAsSafe);
            return;
        }
        CloseProject();
        if (done)
            done(false, {});
    });
}

bool KnowledgeBase::Visible() const
{
    return !basGlobal::AutomationMode;
}

void KnowledgeBase::setVisible(bool visible)
{
    trappedVoid(kModule, "Visible", [&] {
        basGlobal::AutomationMode = !visible;
        KnowledgeBaseWindow* window = mainWindow();
        if (!window)
            return;
        if (!visible) {
            window->hide();
            return;
        }
        // A window shown to the user is ready, whether or not its load opened a document.
        if (!window->loading())
            basGlobal::MainWindowReady = 1;
        const QSize screen = platform::ui().screenSizeTwips();
        const double width = settingvalues::readSingle(QStringLiteral("MainWidth"), 12000);
        const double height = settingvalues::readSingle(QStringLiteral("MainHeight"), 8000);
        const double left = settingvalues::readSingle(QStringLiteral("MainLeft"), (screen.width() - width) / 2);
        const double top = settingvalues::readSingle(QStringLiteral("MainTop"), (screen.height() - height) / 2);
        window->showAt(QRectF(left, top, width, height).toRect());
    });
}

bool KnowledgeBase::AutoAnswer()
{
    return trapped(kModule, "AutoAnswer", false, [&] { return BoundNetwork()->AutoAnswer; });
}

void KnowledgeBase::setAutoAnswer(bool value)
{
    trappedVoid(kModule, "AutoAnswer", [&] {
        BoundNetwork()->AutoAnswer = value;
        for (const auto& network : openNetworks())
            network->AutoAnswer = value;
    });
}

bool KnowledgeBase::ShowAnswer()
{
    return trapped(kModule, "ShowAnswer", false, [&] { return BoundNetwork()->ShowAnswer; });
}

void KnowledgeBase::setShowAnswer(bool value)
{
    trappedVoid(kModule, "ShowAnswer", [&] {
        BoundNetwork()->ShowAnswer = value;
        for (const auto& network : openNetworks())
            network->ShowAnswer = value;
    });
}

QString KnowledgeBase::ScenarioName()
{
    return trapped(kModule, "ScenarioName", QString(), [&] { return BoundNetwork()->ScenarioName(); });
}

void KnowledgeBase::setScenarioName(const QString& text)
{
    trappedVoid(kModule, "ScenarioName", [&] { BoundNetwork()->setScenarioName(text); });
}

QString KnowledgeBase::ScenarioDescription()
{
    return trapped(kModule, "ScenarioDescription", QString(), [&] { return BoundNetwork()->Description; });
}

void KnowledgeBase::setScenarioDescription(const QString& text)
{
    trappedVoid(kModule, "ScenarioDescription", [&] { BoundNetwork()->Description = text; });
}

QString KnowledgeBase::LastModified()
{
    return trapped(kModule, "LastModified", QString(), [&] {
        QDateTime latest(QDate(1900, 1, 1), QTime(0, 0));
        QString result;
        for (const auto& network : openNetworks()) {
            const QString text = network->Version();
            const QDateTime when = lastmodified::parse(text);
            if (when.isValid() && latest.secsTo(when) > 0) {
                latest = when;
                result = text;
            }
        }
        return result;
    });
}

void KnowledgeBase::setLastModified(const QString& text)
{
    trappedVoid(kModule, "LastModified", [&] {
        const QDateTime when = lastmodified::parse(text);
        BoundNetwork()->setVersion(when.isValid() ? lastmodified::format(when) : text);
    });
}

// --- Menu items ------------------------------------------------------------------------------------------

std::vector<DispatchObject> KnowledgeBase::menuItemsIn(const DispatchObject& collection)
{
    std::vector<DispatchObject> items;
    if (const auto* list = qobject_cast<const CollectionObject*>(collection.object())) {
        for (const Variant& item : list->items()) {
            if (objectIn<MenuItem>(item))
                items.push_back(DispatchObject::fromVariant(item));
        }
    }
    return items;
}

QStringList KnowledgeBase::MenuItemNames()
{
    QStringList names;
    for (const DispatchObject& item : menuItemsIn(m_menuItems))
        names << qobject_cast<MenuItem*>(item.object())->Name();
    return names;
}

QStringList KnowledgeBase::ReportMenuItemNames()
{
    QStringList names;
    for (const DispatchObject& item : menuItemsIn(m_reportMenuItems))
        names << qobject_cast<MenuItem*>(item.object())->Name();
    return names;
}

std::vector<DispatchObject> KnowledgeBase::MenuItemsNamed(const QString& name)
{
    std::vector<DispatchObject> named;
    for (const DispatchObject& collection : {m_menuItems, m_reportMenuItems}) {
        for (const DispatchObject& item : menuItemsIn(collection)) {
            if (qobject_cast<MenuItem*>(item.object())->Name() == name)
                named.push_back(item);
        }
    }
    return named;
}

// --- The macro project ---------------------------------------------------------------------------------

QString KnowledgeBase::documentNameOr(const QString& documentName)
{
    return documentName.isEmpty() ? BoundNetwork()->FileName() : documentName;
}

QString KnowledgeBase::projectFileOf(const QString& documentName)
{
    // By the form the document is kept in, as the save decides: its name may say otherwise.
    if (documentName.isEmpty() || BoundNetwork()->Structured)
        return documentName;
    return documentfiles::MacroSideFile(documentName);
}

void KnowledgeBase::NewProject()
{
    trappedVoid(kModule, "NewProject", [&] {
        APCIntegration* host = macroHost();
        if (!host)
            return;
        CloseProject();
        m_project = host->NewProject(withoutBlanks(KBName()));
    });
}

void KnowledgeBase::startUnstoredProject()
{
    NewProject();
    m_carried = {};
    if (m_project)
        m_project->setName(KBName());
}

bool KnowledgeBase::OpenProject(const QString& documentName, bool tellForeign)
{
    return trapped(kModule, "OpenProject", false, [&] {
        const QString document = documentNameOr(documentName);
        const QString fileName = projectFileOf(document);
        APCIntegration* host = macroHost();
        if (!host)
            return true;
        const QString hostFileName = platform::hostPath(fileName);
        if (fileName.isEmpty() || !basLibrary::FileExists(hostFileName)) {
            startUnstoredProject();
            return true;
        }
        try {
            const auto stored = projectstorage::readFile(hostFileName, fileName == document);
            CloseProject();
            m_project = host->NewProject(stored.name.isEmpty() ? withoutBlanks(KBName()) : stored.name);
            m_project->setModules(stored.modules);
            m_project->readOnly = networksupport::isReadOnlyFile(hostFileName);
            m_project->storageFile = stored.found ? hostFileName : QString();
            m_carried = stored.carried;
            if (tellForeign && m_carried.holdsStorages())
                automationHost()->tellForeignMacrosOnce(document);
        } catch (const RuntimeError&) {
            platform::ui().messageBox(
                QStringLiteral("This file's VBA is read only, already opened exclusively or is the wrong version"),
                platform::msgbox::Exclamation, platform::applicationTitle());
            startUnstoredProject();
        }
        return true;
    });
}

void KnowledgeBase::Class_Connect()
{
    trappedVoid(kModule, "Class_Connect", [&] {
        if (!m_project)
            return;
        const DispatchObject self = dispatch();
        m_project->addItem(m_itemName, self);
        const auto* events = eventsOf(QString::fromLatin1(kClassName));
        m_projectItem = self.advise(std::make_shared<MacroEventSink>(m_project, m_itemName, *events));
    });
}

void KnowledgeBase::setName(const QString& name)
{
    trappedVoid(kModule, "Name", [&] {
        const QString itemName = basLibrary::ReplaceAll(name, QStringLiteral(" "), QStringLiteral("_"));
        if (itemName.isEmpty() || itemName == m_itemName)
            return;
        const QString previous = std::exchange(m_itemName, itemName);
        if (m_project && m_projectItem) {
            m_project->renameItem(previous, m_itemName);
            Class_Connect();
        }
    });
}

bool KnowledgeBase::WriteProject(const QString& documentPath)
{
    return trapped(kModule, "WriteProject", false, [&] {
        if (documentPath.isEmpty() || (!m_project && m_carried.beside.empty()))
            return true;
        const QString fileName =
            BoundNetwork()->Structured ? documentPath : documentfiles::MacroSideFile(documentPath);
        if (m_project && !m_project->modules().isEmpty() && m_carried.holdsForeignStorage()) {
            platform::ui().messageBox(
                QStringLiteral("The macros of this knowledge base cannot be saved: its file holds a storage named "
                               "\"%1\" that another program wrote, and it is kept as it is.")
                    .arg(projectstorage::kStorageName),
                platform::msgbox::Exclamation, platform::applicationTitle());
            return false;
        }
        projectstorage::StoredProject stored;
        if (m_project)
            stored = projectstorage::snapshotOf(*m_project, m_carried);
        else
            stored.carried = m_carried;
        projectstorage::writeFile(platform::hostPath(fileName), stored);
        return true;
    });
}

bool KnowledgeBase::SaveProj(const QString& documentName, AbstractProgressBar* progressBar)
{
    return trapped(kModule, "SaveProj", false, [&] {
        const QString document = documentNameOr(documentName);
        KnowledgeBaseWindow* window = mainWindow();
        if (document.isEmpty() || !window || !WriteProject(document))
            return false;
        platform::ui().yield();
        return window->ctlPelnet1().FileSave(progressBar);
    });
}

void KnowledgeBase::CloseProject()
{
    m_projectItem.reset();
    if (APCIntegration* host = macroHost())
        host->CloseProject(m_project);
    m_project.reset();
}

void KnowledgeBase::ReopenProject(const QString& documentName)
{
    trappedVoid(kModule, "ReopenProject", [&] {
        const QString document = documentNameOr(documentName);
        const QString fileName = projectFileOf(document);
        if (!m_project) {
            OpenProject(document);
            Class_Connect();
            return;
        }
        const QString hostFileName = platform::hostPath(fileName);
        const auto stored = projectstorage::readFile(hostFileName, fileName == document);
        m_carried = stored.carried;
        m_project->setChanged(false);
        if (!stored.found)
            return;
        // The code the editor shows runs on as it is when nothing in it changed.
        if (stored.modules != m_project->modules())
            m_project->setModules(stored.modules);
        m_project->setName(stored.name);
        m_project->readOnly = networksupport::isReadOnlyFile(hostFileName);
        m_project->storageFile = hostFileName;
        m_project->setChanged(false);
    });
}

void KnowledgeBase::ApcProject_Save()
{
    trappedVoid(kModule, "ApcProject_Save", [&] {
        const BusyPointer busy;
        KnowledgeBaseWindow* window = mainWindow();
        if (!window)
            return;
        const auto network = BoundNetwork();
        const auto refuseReadOnly = [](const QString& name) {
            if (!documentfiles::IsReadOnly(name))
                return false;
            platform::ui().messageBox(name + QStringLiteral(" is read only, unable to save file"),
                                      platform::msgbox::Exclamation, platform::applicationTitle());
            return true;
        };
        const QString name = network->FileName();
        if (!name.isEmpty()) {
            if (!refuseReadOnly(name))
                window->SaveDocument();
            return;
        }

        platform::FileDialogRequest request;
        request.initialFolder = basLibrary::DocumentsFolder;
        request.filter = QStringLiteral("Knowledge Bases (*.qkb)|*.qkb|Knowledge Template (*.qkt)|*.qkt|"
                                        "XML file (*.xml)|*.xml|All files (*.*)|*.*");
        QString extension;
        if (network->Structured && network->NetworkType != 2) {
            request.filterIndex = 1;
            extension = QStringLiteral(".qkb");
        } else if (network->Structured) {
            request.filterIndex = 4;
        } else {
            request.filterIndex = 3;
            extension = QStringLiteral(".xml");
        }
        request.flags = platform::FileDialogRequest::kHideReadOnly;
        const auto chosen = platform::fileDialogs().showSave(request);
        if (!chosen || chosen->isEmpty())
            return;
        QString fileName = *chosen;
        if (!basLibrary::FileNameOfPath(fileName).contains(u'.'))
            fileName += extension;
        basLibrary::DocumentsFolder = basLibrary::FolderOfPath(fileName);
        if (basLibrary::FileExists(platform::hostPath(fileName))) {
            if (refuseReadOnly(fileName))
                return;
            const int answer = platform::ui().messageBox(
                fileName + QStringLiteral(" already exists.\rDo you want to replace it?"),
                platform::msgbox::YesNo | platform::msgbox::Exclamation | platform::msgbox::DefaultButton2,
                platform::applicationTitle());
            if (answer != platform::msgbox::Yes)
                return;
        }
        window->SaveDocumentAs(fileName);
    });
}

// --- Raisers -------------------------------------------------------------------------------------------------

void KnowledgeBase::markChanged(const std::shared_ptr<Node>& node)
{
    if (!node)
        return;
    if (const auto network = std::dynamic_pointer_cast<clsNetwork>(node->Network.lock()))
        network->setDirty(true);
}

void KnowledgeBase::FireNewDocument()
{
    raising("FireNewDocument", [&] { Q_EMIT NewDocument(); });
}

void KnowledgeBase::FireLoad(bool& Cancel)
{
    raising("FireLoad", [&] {
        const QScopedValueRollback underWay(m_loadUnderWay, true);
        Q_EMIT Load(Cancel);
    });
}

void KnowledgeBase::FireBeforeClose(bool& Cancel)
{
    raising("FireBeforeClose", [&] { Q_EMIT Unload(Cancel); });
}

void KnowledgeBase::FireNodeAnswer(std::shared_ptr<Node>& node, bool& Cancel)
{
    raising("FireNodeAnswer", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforeAnswer(Node1, Cancel);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeQuestion(std::shared_ptr<Node>& node, bool& Cancel)
{
    raising("FireNodeQuestion", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforeQuestion(Node1, Cancel);
        handBack<NodeObject>(Node1, node);
        if (Cancel)
            markChanged(node);
    });
}

void KnowledgeBase::FireNodePrecondition(std::shared_ptr<Node>& node, bool& Cancel)
{
    raising("FireNodePrecondition", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforePrecondition(Node1, Cancel);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeAfterAnswer(std::shared_ptr<Node>& node, qint16& flag)
{
    raising("FireNodeAfterAnswer", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterAnswer(Node1, flag);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeAfterQuestion(std::shared_ptr<Node>& node, qint16& flag)
{
    raising("FireNodeAfterQuestion", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterQuestion(Node1, flag);
        handBack<NodeObject>(Node1, node);
        if (flag != 0)
            markChanged(node);
    });
}

void KnowledgeBase::FireNodeAfterPrecondition(std::shared_ptr<Node>& node, qint16& flag)
{
    raising("FireNodeAfterPrecondition", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterPrecondition(Node1, flag);
        handBack<NodeObject>(Node1, node);
    });
}

// The consultation reads back only the cancel.
void KnowledgeBase::FireNodeAnswer(const std::shared_ptr<Node>& node, bool& Cancel)
{
    auto Node1 = node;
    FireNodeAnswer(Node1, Cancel);
}

void KnowledgeBase::FireNodeQuestion(const std::shared_ptr<Node>& node, bool& Cancel)
{
    auto Node1 = node;
    FireNodeQuestion(Node1, Cancel);
}

void KnowledgeBase::FireNodePrecondition(const std::shared_ptr<Node>& node, bool& Cancel)
{
    auto Node1 = node;
    FireNodePrecondition(Node1, Cancel);
}

void KnowledgeBase::FireNodeAfterAnswer(const std::shared_ptr<Node>& node, qint16& flag)
{
    auto Node1 = node;
    FireNodeAfterAnswer(Node1, flag);
}

void KnowledgeBase::FireNodeAfterQuestion(const std::shared_ptr<Node>& node, qint16& flag)
{
    auto Node1 = node;
    FireNodeAfterQuestion(Node1, flag);
}

void KnowledgeBase::FireNodeAfterPrecondition(const std::shared_ptr<Node>& node, qint16& flag)
{
    auto Node1 = node;
    FireNodeAfterPrecondition(Node1, flag);
}

void KnowledgeBase::FireNetworkMouseMove(float& X, float& Y)
{
    raising("FireNetworkMouseMove", [&] { Q_EMIT MouseMove(X, Y); });
}

void KnowledgeBase::FireNetworkMouseClick(qint16& Button)
{
    raising("FireNetworkMouseClick", [&] { Q_EMIT MouseClick(Button); });
}

void KnowledgeBase::FireNodeMouseMove(std::shared_ptr<Node>& node)
{
    raising("FireNodeMouseMove", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT NodeMouseMove(Node1);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeMouseClick(qint16& Button, std::shared_ptr<Node>& node)
{
    raising("FireNodeMouseClick", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT NodeMouseClick(Button, Node1);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireLinkMouseMove(std::shared_ptr<Link>& link)
{
    raising("FireLinkMouseMove", [&] {
        DispatchObject Link1 = viewOf<LinkObject>(link);
        Q_EMIT LinkMouseMove(Link1);
        handBack<LinkObject>(Link1, link);
    });
}

void KnowledgeBase::FireLinkMouseClick(qint16& Button, std::shared_ptr<Link>& link)
{
    raising("FireLinkMouseClick", [&] {
        DispatchObject Link1 = viewOf<LinkObject>(link);
        Q_EMIT LinkMouseClick(Button, Link1);
        handBack<LinkObject>(Link1, link);
    });
}

void KnowledgeBase::FireMenuClick(DispatchObject& menuItem)
{
    raising("FireMenuClick", [&] { Q_EMIT MenuClick(menuItem); });
}

} // namespace kelvane
