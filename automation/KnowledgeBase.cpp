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

#include <QTimer>

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

// Macros of another kind are kept in storages of their own.
bool carriesForeignMacros(const MacroProject& project)
{
    return std::any_of(project.carried.begin(), project.carried.end(),
                       [](const platform::StorageEntry& entry) { return entry.isStorage; });
}

} // namespace

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
    trappedVoid(kModule, "FileName", [&] { BoundNetwork()->setFileName(fileName); });
}

void KnowledgeBase::OpenFile()
{
    QString fileName;
    OpenFile(fileName);
}

void KnowledgeBase::OpenFile(QString& strFileName)
{
    trappedVoid(kModule, "OpenFile", [&] {
        if (strFileName.isEmpty())
            strFileName = BoundNetwork()->FileName();
        platform::ui().yield();
        NewProject();
        Class_Connect();
        BoundNetwork()->setFileName(strFileName);
        tieToDiagram();
        KnowledgeBaseWindow* window = mainWindow();
        const bool opened = window && window->ctlPelnet1().FileOpen();
        // The layers read are this knowledge base's too.
        setNetwork(BoundNetwork());
        Refresh();
        if (opened) {
            bool cancel = false;
            FireLoad(cancel);
        }
    });
}

void KnowledgeBase::SaveFile()
{
    QString fileName;
    SaveFile(fileName);
}

void KnowledgeBase::SaveFile(QString& strFileName)
{
    trappedVoid(kModule, "SaveFile", [&] {
        if (strFileName.isEmpty())
            strFileName = BoundNetwork()->FileName();
        else
            BoundNetwork()->setFileName(strFileName);
        if (KnowledgeBaseWindow* window = mainWindow())
            window->ctlPelnet1().FileSave();
        Refresh();
    });
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
    m_quitRequested = true;
    // The shutdown runs once the caller has its answer; a veto keeps the program running.
    if (KnowledgeBaseWindow* window = mainWindow()) {
        QTimer::singleShot(0, &window->widget(), [] {
            if (KnowledgeBaseWindow* shown = mainWindow())
                shown->Unload();
        });
    }
}

qint16 KnowledgeBase::NetworkType()
{
    return trapped(kModule, "NetworkType", qint16(0), [&] { return BoundNetwork()->NetworkType; });
}

void KnowledgeBase::CloseFile()
{
    trappedVoid(kModule, "CloseFile", [&] {
        KnowledgeBaseWindow* window = mainWindow();
        if (window && !BoundNetwork()->ParentDisplay.expired() && window->ctlPelnet1().ParentForm)
            window->Unload();
        CloseProject();
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
    if (documentfiles::EndsWith(documentName, QStringLiteral(".XML")))
        return documentfiles::MacroSideFile(documentName);
    return documentName;
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
            NewProject();
            return true;
        }
        const bool inDocument = fileName == document;
        try {
            const auto stored = projectstorage::readFile(hostFileName, inDocument);
            CloseProject();
            m_project = host->NewProject(stored.name.isEmpty() ? withoutBlanks(KBName()) : stored.name);
            m_project->setModules(stored.modules);
            m_project->carried = stored.carried;
            m_project->readOnly = networksupport::isReadOnlyFile(hostFileName);
            if (tellForeign && carriesForeignMacros(*m_project))
                platform::ui().messageBox(
                    QStringLiteral("This knowledge base carries macros of another kind. They are kept with it, but "
                                   "they are not run."),
                    platform::msgbox::Information, platform::applicationTitle());
        } catch (const RuntimeError& error) {
            // A document that is no compound file (the older text form) has no project to read.
            if (!(inDocument && error.Number() == err::InvalidFileFormat))
                platform::ui().messageBox(
                    QStringLiteral("This file's VBA is read only, already opened exclusively or is the wrong version"),
                    platform::msgbox::Exclamation, platform::applicationTitle());
            NewProject();
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
        m_project->addItem(kProjectItem, self);
        const auto* events = eventsOf(QString::fromLatin1(kClassName));
        m_projectItem = self.advise(std::make_shared<MacroEventSink>(m_project, kProjectItem, *events));
    });
}

bool KnowledgeBase::WriteProject(const QString& documentPath)
{
    return trapped(kModule, "WriteProject", false, [&] {
        if (!m_project || documentPath.isEmpty())
            return true;
        const QString fileName =
            BoundNetwork()->Structured ? documentPath : documentfiles::MacroSideFile(documentPath);
        projectstorage::writeFile(platform::hostPath(fileName), *m_project);
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
        if (!stored.found)
            return;
        // The code the editor shows runs on as it is when nothing in it changed.
        if (stored.modules != m_project->modules())
            m_project->setModules(stored.modules);
        m_project->setName(stored.name);
        m_project->carried = stored.carried;
        m_project->readOnly = networksupport::isReadOnlyFile(hostFileName);
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
    trappedVoid(kModule, "FireNewDocument", [&] { Q_EMIT NewDocument(); });
}

void KnowledgeBase::FireLoad(bool& Cancel)
{
    trappedVoid(kModule, "FireLoad", [&] { Q_EMIT Load(Cancel); });
}

void KnowledgeBase::FireBeforeClose(bool& Cancel)
{
    trappedVoid(kModule, "FireBeforeClose", [&] { Q_EMIT Unload(Cancel); });
}

void KnowledgeBase::FireNodeAnswer(const std::shared_ptr<Node>& node, bool& Cancel)
{
    trappedVoid(kModule, "FireNodeAnswer", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforeAnswer(Node1, Cancel);
    });
}

void KnowledgeBase::FireNodeQuestion(const std::shared_ptr<Node>& node, bool& Cancel)
{
    trappedVoid(kModule, "FireNodeQuestion", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforeQuestion(Node1, Cancel);
        if (Cancel)
            markChanged(node);
    });
}

void KnowledgeBase::FireNodePrecondition(const std::shared_ptr<Node>& node, bool& Cancel)
{
    trappedVoid(kModule, "FireNodePrecondition", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforePrecondition(Node1, Cancel);
    });
}

void KnowledgeBase::FireNodeAfterAnswer(const std::shared_ptr<Node>& node, qint16& flag)
{
    trappedVoid(kModule, "FireNodeAfterAnswer", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterAnswer(Node1, flag);
    });
}

void KnowledgeBase::FireNodeAfterQuestion(const std::shared_ptr<Node>& node, qint16& flag)
{
    trappedVoid(kModule, "FireNodeAfterQuestion", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterQuestion(Node1, flag);
        if (flag != 0)
            markChanged(node);
    });
}

void KnowledgeBase::FireNodeAfterPrecondition(const std::shared_ptr<Node>& node, qint16& flag)
{
    trappedVoid(kModule, "FireNodeAfterPrecondition", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterPrecondition(Node1, flag);
    });
}

void KnowledgeBase::FireNetworkMouseMove(float& X, float& Y)
{
    trappedVoid(kModule, "FireNetworkMouseMove", [&] { Q_EMIT MouseMove(X, Y); });
}

void KnowledgeBase::FireNetworkMouseClick(qint16& Button)
{
    trappedVoid(kModule, "FireNetworkMouseClick", [&] { Q_EMIT MouseClick(Button); });
}

void KnowledgeBase::FireNodeMouseMove(std::shared_ptr<Node>& node)
{
    trappedVoid(kModule, "FireNodeMouseMove", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT NodeMouseMove(Node1);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeMouseClick(qint16& Button, std::shared_ptr<Node>& node)
{
    trappedVoid(kModule, "FireNodeMouseClick", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT NodeMouseClick(Button, Node1);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireLinkMouseMove(std::shared_ptr<Link>& link)
{
    trappedVoid(kModule, "FireLinkMouseMove", [&] {
        DispatchObject Link1 = viewOf<LinkObject>(link);
        Q_EMIT LinkMouseMove(Link1);
        handBack<LinkObject>(Link1, link);
    });
}

void KnowledgeBase::FireLinkMouseClick(qint16& Button, std::shared_ptr<Link>& link)
{
    trappedVoid(kModule, "FireLinkMouseClick", [&] {
        DispatchObject Link1 = viewOf<LinkObject>(link);
        Q_EMIT LinkMouseClick(Button, Link1);
        handBack<LinkObject>(Link1, link);
    });
}

void KnowledgeBase::FireMenuClick(DispatchObject& menuItem)
{
    trappedVoid(kModule, "FireMenuClick", [&] { Q_EMIT MenuClick(menuItem); });
}

} // namespace kelvane
