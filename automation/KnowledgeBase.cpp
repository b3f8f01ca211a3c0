#include "automation/KnowledgeBase.h"

#include "automation/APCIntegration.h"
#include "automation/AutomationHost.h"
#include "automation/CollectionObject.h"
#include "automation/KnowledgeBaseSupport.h"
#include "automation/KnowledgeBaseWindow.h"
#include "automation/LastModifiedDate.h"
#include "automation/LayerObject.h"
#include "automation/MacroProject.h"
#include "automation/MacroProjectObject.h"
#include "automation/MenuItem.h"
#include "automation/PageObject.h"
#include "automation/PropertyObject.h"
#include "automation/ReportObject.h"
#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/Page.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/HostPath.h"
#include "platform/UiServices.h"
#include "platform/automation/EventConnection.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"

#include <QFileInfo>
#include <QScopedValueRollback>
#include <utility>

namespace kelvane {

using namespace automation;
using namespace knowledgebasesupport;

namespace {

bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return a == b;
    return QFileInfo(platform::hostPath(a)).absoluteFilePath() == QFileInfo(platform::hostPath(b)).absoluteFilePath();
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
        if (m_project)
            m_project->setReservedNames(m_carried.moduleStorageNames());
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
    // Macros come with documents: one may not write over the user's other files unasked, nor
    // over a file it opened itself.
    if (!macroCodeRunning() || fileName.isEmpty() || sameFile(fileName, m_userDocument))
        return;
    const int answer = platform::ui().messageBox(
        QStringLiteral("A macro of this knowledge base wants to save it as\r%1\rDo you allow it?").arg(fileName),
        platform::msgbox::YesNo | platform::msgbox::Exclamation | platform::msgbox::DefaultButton2,
        platform::applicationTitle());
    if (answer != platform::msgbox::Yes)
        raiseError(err::PathFileAccess, QStringLiteral("The macro was not allowed to save the knowledge base as %1.").arg(fileName));
    m_userDocument = fileName;
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
    if (const AutomationHost* host = automationHost(); host && host->consultationStepUnderWay())
        raiseError(err::InvalidProcedureCall,
                   QStringLiteral("No knowledge base can be opened while a step of the consultation is under way."));
    if (strFileName.isEmpty())
        strFileName = BoundNetwork()->FileName();
    platform::ui().yield();
    // A document macro code opens is not one the user chose.
    const bool chosenByUser = !macroCodeRunning();
    KnowledgeBaseWindow* window = mainWindow();
    if (!window) {
        BoundNetwork()->setFileName(strFileName);
        if (chosenByUser)
            m_userDocument = strFileName;
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
    if (chosenByUser)
        m_userDocument = strFileName;
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
    if (strFileName.isEmpty())
        strFileName = network->FileName();
    KnowledgeBaseWindow* window = mainWindow();
    bool saved = false;
    if (window && !strFileName.isEmpty()) {
        requireLeaveToWrite(strFileName);
        // Under another name, as the window's Save As: the macro project goes with the document.
        saved = strFileName == network->FileName() ? window->ctlPelnet1().FileSave() : window->SaveDocumentAs(strFileName);
    }
    if (!saved)
        raiseError(err::PathFileAccess, strFileName + QStringLiteral(" could not be saved."));
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

} // namespace kelvane
