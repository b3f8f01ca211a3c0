#include "automation/AutomationHost.h"

#include "automation/APCIntegration.h"
#include "automation/CApplication.h"
#include "automation/HiddenProgramUi.h"
#include "automation/KnowledgeBase.h"
#include "automation/KnowledgeBaseWindow.h"
#include "automation/MainWindowAdapter.h"
#include "automation/ProgramClasses.h"
#include "consult/AbstractConsultationEvents.h"
#include "diagram/AbstractKnowledgeBaseEvents.h"
#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/basGlobal.h"
#include "platform/HostPath.h"
#include "platform/UiServices.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QShortcut>
#include <QTimer>

namespace kelvane {

namespace {

constexpr const char* kModule = "AutomationHost";

void showNotice(const QString& text)
{
    platform::ui().messageBox(text, platform::msgbox::Information, platform::applicationTitle());
}

// The diagram's pointer events, raised on the live knowledge base.
class LiveDiagramEvents : public AbstractKnowledgeBaseEvents {
public:
    explicit LiveDiagramEvents(AutomationHost& host) : m_host(host) {}
    void FireNetworkMouseMove(float& X, float& Y) override { m_host.live()->FireNetworkMouseMove(X, Y); }
    void FireNodeMouseMove(std::shared_ptr<Node>& node) override { m_host.live()->FireNodeMouseMove(node); }
    void FireLinkMouseMove(std::shared_ptr<Link>& link) override { m_host.live()->FireLinkMouseMove(link); }
    void FireNetworkMouseClick(qint16& Button) override { m_host.live()->FireNetworkMouseClick(Button); }
    void FireNodeMouseClick(qint16& Button, std::shared_ptr<Node>& node) override
    {
        m_host.live()->FireNodeMouseClick(Button, node);
    }
    void FireLinkMouseClick(qint16& Button, std::shared_ptr<Link>& link) override
    {
        m_host.live()->FireLinkMouseClick(Button, link);
    }

private:
    AutomationHost& m_host;
};

// The consultation's step events, raised on the live knowledge base, each counted as a step
// under way while it is raised.
class LiveConsultationEvents : public AbstractConsultationEvents {
public:
    explicit LiveConsultationEvents(AutomationHost& host) : m_host(host) {}
    void FireNodePrecondition(const std::shared_ptr<Node>& node, bool& Cancel) override
    {
        step([&](KnowledgeBase& live) { live.FireNodePrecondition(node, Cancel); });
    }
    void FireNodeQuestion(const std::shared_ptr<Node>& node, bool& Cancel) override
    {
        step([&](KnowledgeBase& live) { live.FireNodeQuestion(node, Cancel); });
    }
    void FireNodeAnswer(const std::shared_ptr<Node>& node, bool& Cancel) override
    {
        step([&](KnowledgeBase& live) { live.FireNodeAnswer(node, Cancel); });
    }
    void FireNodeAfterPrecondition(const std::shared_ptr<Node>& node, qint16& flag) override
    {
        step([&](KnowledgeBase& live) { live.FireNodeAfterPrecondition(node, flag); });
    }
    void FireNodeAfterQuestion(const std::shared_ptr<Node>& node, qint16& flag) override
    {
        step([&](KnowledgeBase& live) { live.FireNodeAfterQuestion(node, flag); });
    }
    void FireNodeAfterAnswer(const std::shared_ptr<Node>& node, qint16& flag) override
    {
        step([&](KnowledgeBase& live) { live.FireNodeAfterAnswer(node, flag); });
    }

private:
    template <class Raise>
    void step(Raise&& raise)
    {
        m_host.beginConsultationStep();
        const auto ended = qScopeGuard([&] { m_host.endConsultationStep(); });
        raise(*m_host.live());
    }

    AutomationHost& m_host;
};

} // namespace

AutomationHost::AutomationHost(std::chrono::milliseconds scriptTimeLimit)
    : m_macroHost(std::make_unique<APCIntegration>(scriptTimeLimit))
    , m_application(std::make_shared<CApplication>(*m_macroHost))
{
    m_macroHost->setProjectSource([this] {
        const auto knowledgeBase = current();
        return knowledgeBase ? knowledgeBase->Project() : nullptr;
    });
    connect(m_macroHost.get(), &APCIntegration::saveRequested, this, [this] {
        if (const auto knowledgeBase = current())
            knowledgeBase->ApcProject_Save();
    });
}

AutomationHost::~AutomationHost() = default;

std::shared_ptr<KnowledgeBase> AutomationHost::current() const
{
    return std::dynamic_pointer_cast<KnowledgeBase>(basGlobal::CurrentKnowledgeBase);
}

std::shared_ptr<KnowledgeBase> AutomationHost::live()
{
    auto knowledgeBase = current();
    if (!knowledgeBase) {
        knowledgeBase = KnowledgeBase::create();
        if (m_window)
            trappedVoid(kModule, "live", [&] { knowledgeBase->setNetwork(m_window->ctlPelnet1().Network()); });
        basGlobal::CurrentKnowledgeBase = knowledgeBase;
    }
    noteLive();
    return knowledgeBase;
}

void AutomationHost::setLive(const std::shared_ptr<KnowledgeBase>& knowledgeBase)
{
    const auto previous = current();
    if (previous && previous != knowledgeBase)
        previous->CloseProject();
    basGlobal::CurrentKnowledgeBase = knowledgeBase;
    noteLive();
}

void AutomationHost::noteLive()
{
    const auto now = current();
    if (now == m_lastLive.lock())
        return;
    m_lastLive = now;
    Q_EMIT liveChanged();
}

void AutomationHost::startFor(std::unique_ptr<KnowledgeBaseWindow> window)
{
    m_window = std::move(window);
    m_macroHost->Initialize(m_application->dispatch(), &m_window->widget());
    auto* showEditor = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F11), &m_window->widget());
    showEditor->setContext(Qt::ApplicationShortcut);
    connect(showEditor, &QShortcut::activated, m_macroHost.get(), [host = m_macroHost.get()] { host->ShowIDE(); });
}

void AutomationHost::StartMacroHost(frmNavigate& mainWindow)
{
    startFor(std::make_unique<MainWindowAdapter>(mainWindow));
}

void AutomationHost::CreateKnowledgeBase(const std::shared_ptr<clsNetwork>& network, const QString& documentPath)
{
    const auto knowledgeBase = KnowledgeBase::create();
    knowledgeBase->setNetwork(network);
    knowledgeBase->setUserDocument(documentPath);
    knowledgeBase->OpenProject(documentPath, true);
    knowledgeBase->Class_Connect();
    setLive(knowledgeBase);
}

void AutomationHost::ReleaseKnowledgeBase()
{
    if (const auto knowledgeBase = current())
        knowledgeBase->CloseProject();
    basGlobal::CurrentKnowledgeBase.reset();
    noteLive();
}

bool AutomationHost::SaveProject(const QString& documentPath)
{
    const auto knowledgeBase = current();
    m_macroHost->commitEditor();
    return !knowledgeBase || knowledgeBase->WriteProject(documentPath);
}

bool AutomationHost::QueryUnload()
{
    const auto knowledgeBase = current();
    if (!knowledgeBase)
        return true;
    switch (m_macroHost->QueryUnload(knowledgeBase->Project())) {
    case platform::msgbox::Yes: return m_window && m_window->SaveDocument();
    case platform::msgbox::Cancel: return false;
    default: return true;
    }
}

void AutomationHost::tellForeignEntriesOnce(const QString& documentPath, bool macros)
{
    const QString document = QFileInfo(platform::hostPath(documentPath)).absoluteFilePath();
    if (m_toldForeign.contains(document))
        return;
    m_toldForeign.insert(document);
    const QString notice =
        macros ? QStringLiteral("This knowledge base carries macros of another kind. They are kept with it, but they are not run.")
               : QStringLiteral("This knowledge base holds data that another program stored in it. The data is kept with "
                                "it, but not used.");
    if (m_noticeHolds > 0)
        m_heldNotices << notice;
    else
        showNotice(notice);
}

void AutomationHost::releaseNotices()
{
    if (--m_noticeHolds > 0 || m_heldNotices.isEmpty())
        return;
    // From the event loop: the call that held them has returned and its answer is sent.
    QTimer::singleShot(0, this, [notices = std::exchange(m_heldNotices, {})] {
        for (const QString& notice : notices)
            showNotice(notice);
    });
}

void AutomationHost::OpenProject(const QString& documentPath)
{
    // The window saved the document there, as the user (or a macro with the user's leave) chose.
    if (const auto knowledgeBase = current()) {
        knowledgeBase->setUserDocument(documentPath);
        knowledgeBase->ReopenProject(documentPath);
    }
}

void AutomationHost::FireLoad(bool& Cancel)
{
    live()->FireLoad(Cancel);
}

void AutomationHost::FireUnload(bool& Cancel)
{
    live()->FireBeforeClose(Cancel);
}

QStringList AutomationHost::MenuItemNames()
{
    const auto knowledgeBase = current();
    return knowledgeBase ? knowledgeBase->MenuItemNames() : QStringList();
}

QStringList AutomationHost::ReportMenuItemNames()
{
    const auto knowledgeBase = current();
    return knowledgeBase ? knowledgeBase->ReportMenuItemNames() : QStringList();
}

void AutomationHost::FireMenuClick(const QString& identifier)
{
    const auto knowledgeBase = current();
    if (!knowledgeBase)
        return;
    for (auto item : knowledgeBase->MenuItemsNamed(identifier))
        knowledgeBase->FireMenuClick(item);
}

void AutomationHost::PollMacroHost()
{
    m_macroHost->Poll();
}

AutomationHost* automationHost()
{
    return dynamic_cast<AutomationHost*>(&platform::Service<AbstractKnowledgeBaseHost>::get());
}

AutomationInstallation::AutomationInstallation(std::chrono::milliseconds scriptTimeLimit)
{
    platform::Service<platform::UiServices>::get(); // the services in place, made when there are none yet
    auto ui = std::make_unique<HiddenProgramUi>(platform::Service<platform::UiServices>::replace(nullptr));
    m_hiddenUi = ui.get();
    platform::Service<platform::UiServices>::replace(std::move(ui));
    auto host = std::make_unique<AutomationHost>(scriptTimeLimit);
    m_host = host.get();
    m_host->setHiddenUi(m_hiddenUi);
    m_hiddenUi->setMacroClock(m_host->macroHost().clock());
    m_previousHost = platform::Service<AbstractKnowledgeBaseHost>::replace(std::move(host));
    m_previousEvents = platform::Service<AbstractKnowledgeBaseEvents>::replace(std::make_unique<LiveDiagramEvents>(*m_host));
    m_previousConsultation =
        platform::Service<AbstractConsultationEvents>::replace(std::make_unique<LiveConsultationEvents>(*m_host));
    m_offers = automation::programClassServer().publish(platform::activator());
}

AutomationInstallation::~AutomationInstallation()
{
    // The live knowledge base and its macro engine go before the host they were made by.
    m_offers.clear();
    m_host->ReleaseKnowledgeBase();
    platform::Service<AbstractConsultationEvents>::replace(std::move(m_previousConsultation));
    platform::Service<AbstractKnowledgeBaseEvents>::replace(std::move(m_previousEvents));
    platform::Service<AbstractKnowledgeBaseHost>::replace(std::move(m_previousHost));
    auto ui = platform::Service<platform::UiServices>::replace(nullptr);
    platform::Service<platform::UiServices>::replace(m_hiddenUi->release());
}

} // namespace kelvane
