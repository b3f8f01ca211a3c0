#pragma once

#include "automation/ShutdownRequest.h"
#include "platform/automation/Activator.h"
#include "shell/AbstractKnowledgeBaseHost.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <chrono>
#include <memory>

namespace kelvane {

class AbstractConsultationEvents;
class AbstractKnowledgeBaseEvents;
class APCIntegration;
class CApplication;
class HiddenProgramUi;
class KnowledgeBase;
class KnowledgeBaseWindow;

// The automation layer as the program's shell reaches it: the live KnowledgeBase of the open
// document with its macro project, the macro host and the application object. It keeps the
// program's one live knowledge base in basGlobal::CurrentKnowledgeBase, so that every caller
// (the shell, the diagram's and the consultation's raisers, automation clients, macro code)
// reaches the same object; when none is open, the first caller gets a new one, bound to the
// network the main window shows.
class AutomationHost : public QObject, public AbstractKnowledgeBaseHost {
    Q_OBJECT

public:
    explicit AutomationHost(std::chrono::milliseconds scriptTimeLimit = std::chrono::milliseconds(5000));
    ~AutomationHost() override;

    // The main window; null until its load has started the macro host.
    KnowledgeBaseWindow* window() const { return m_window.get(); }
    APCIntegration& macroHost() const { return *m_macroHost; }
    std::shared_ptr<CApplication> application() const { return m_application; }

    // The live knowledge base, made on first use.
    std::shared_ptr<KnowledgeBase> live();
    // The live knowledge base when there is one; null otherwise.
    std::shared_ptr<KnowledgeBase> current() const;
    // Makes `knowledgeBase` the live one (the one before it keeps its macro project).
    void setLive(const std::shared_ptr<KnowledgeBase>& knowledgeBase);

    // Starts the host for a main window other than frmNavigate (tests).
    void startFor(std::unique_ptr<KnowledgeBaseWindow> window);

    // The program's shutdown as the knowledge base asks for it.
    ShutdownRequest& shutdown() { return m_shutdown; }
    // An event of a knowledge base is being raised (nested ones counted).
    void beginEvent() { ++m_eventsUnderWay; }
    void endEvent() { --m_eventsUnderWay; }
    bool eventUnderWay() const { return m_eventsUnderWay > 0; }
    // A step of a consultation is raising its event (nested ones counted): the consultation
    // holds a node of the open document meanwhile, so the document must not be replaced.
    void beginConsultationStep() { ++m_consultationSteps; }
    void endConsultationStep() { --m_consultationSteps; }
    bool consultationStepUnderWay() const { return m_consultationSteps > 0; }
    // The user-interface services the installation put in place; null without one.
    HiddenProgramUi* hiddenUi() const { return m_hiddenUi; }
    void setHiddenUi(HiddenProgramUi* ui) { m_hiddenUi = ui; }

    // Tells the user, once per document per run, that the document carries what other programs
    // stored in it: macros of another kind (`macros`), or other data. Both are kept, neither used.
    void tellForeignEntriesOnce(const QString& documentPath, bool macros);
    // While a client's call is served (between hold and release, nested), such notices wait and
    // are shown once the call has returned: a box the user has not closed yet never holds a
    // client's answer.
    void holdNotices() { ++m_noticeHolds; }
    void releaseNotices();

    // --- AbstractKnowledgeBaseHost ------------------------------------------------------------------

    void StartMacroHost(frmNavigate& mainWindow) override;
    void CreateKnowledgeBase(const std::shared_ptr<clsNetwork>& network, const QString& documentPath) override;
    void ReleaseKnowledgeBase() override;
    // The editor's text is the project's first.
    bool SaveProject(const QString& documentPath) override;
    void OpenProject(const QString& documentPath) override;
    void FireLoad(bool& Cancel) override;
    void FireUnload(bool& Cancel) override;
    // Asks about macro edits not saved with the document; Yes saves the document with them.
    bool QueryUnload() override;
    QStringList MenuItemNames() override;
    QStringList ReportMenuItemNames() override;
    void FireMenuClick(const QString& identifier) override;
    void PollMacroHost() override;

Q_SIGNALS:
    // Another knowledge base became the live one (or none is left).
    void liveChanged();

private:
    void noteLive();
    void saveFromEditor();

    std::unique_ptr<APCIntegration> m_macroHost;
    std::shared_ptr<CApplication> m_application;
    std::unique_ptr<KnowledgeBaseWindow> m_window;
    std::weak_ptr<KnowledgeBase> m_lastLive;
    ShutdownRequest m_shutdown {*this};
    int m_eventsUnderWay = 0;
    int m_consultationSteps = 0;
    HiddenProgramUi* m_hiddenUi = nullptr;
    QSet<QString> m_toldForeign;
    int m_noticeHolds = 0;
    QStringList m_heldNotices;
};

// The automation host the program installed; null when the shell runs without one.
AutomationHost* automationHost();

// Installs the automation host as the shell's knowledge-base host, the live knowledge base as
// the one the diagram and the consultation raise their events on, and the user-interface
// services of a program that may run hidden (HiddenProgramUi) over the ones installed, for its
// lifetime; the program's creatable classes are offered to the activator meanwhile.
class AutomationInstallation {
public:
    explicit AutomationInstallation(std::chrono::milliseconds scriptTimeLimit = std::chrono::milliseconds(5000));
    ~AutomationInstallation();
    AutomationInstallation(const AutomationInstallation&) = delete;
    AutomationInstallation& operator=(const AutomationInstallation&) = delete;

    AutomationHost& host() const { return *m_host; }

private:
    AutomationHost* m_host;
    std::unique_ptr<AbstractKnowledgeBaseHost> m_previousHost;
    std::unique_ptr<AbstractKnowledgeBaseEvents> m_previousEvents;
    std::unique_ptr<AbstractConsultationEvents> m_previousConsultation;
    HiddenProgramUi* m_hiddenUi;
    std::vector<platform::automation::ClassObjectRegistration> m_offers;
};

} // namespace kelvane
