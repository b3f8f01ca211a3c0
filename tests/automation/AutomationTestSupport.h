#pragma once

#include "automation/AutomationHost.h"
#include "automation/KnowledgeBase.h"
#include "automation/KnowledgeBaseWindow.h"
#include "automation/MacroProject.h"
#include "automation/ProjectStorage.h"
#include "diagram/NetworkCanvas.h"
#include "diagram/ctlPelnet.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "network/NetworkGrid.h"
#include "network/clsNetwork.h"
#include "platform/automation/EventSink.h"
#include "tests/shell/ShellTestSupport.h"

#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <chrono>

namespace kelvane::test {

using namespace std::chrono_literals;

// A main window for the knowledge base without the program around it: a real diagram control,
// and a record of every other call.
class RecordingWindow : public KnowledgeBaseWindow {
public:
    QWidget window;
    ctlPelnet* diagram = new ctlPelnet(&window);
    QStringList calls;
    QString status;
    QRect shownAt;

    ctlPelnet& ctlPelnet1() override { return *diagram; }
    AbstractProgressBar* ProgressBar1() override { return nullptr; }
    QWidget& widget() override { return window; }
    QString StatusText() override { return status; }
    void setStatusText(const QString& text) override { status = text; }
    void showAt(const QRect& twips) override { shownAt = twips; calls << QStringLiteral("showAt"); }
    void hide() override { calls << QStringLiteral("hide"); }
    void PopulateToolsMenu() override { calls << QStringLiteral("PopulateToolsMenu"); }
    void PopulateReportsMenu() override { calls << QStringLiteral("PopulateReportsMenu"); }
    void Unload() override { calls << QStringLiteral("Unload"); }
    bool SaveDocument() override { calls << QStringLiteral("SaveDocument"); return true; }
    // The document is saved under the new name, without the window's temporary copy.
    bool SaveDocumentAs(const QString& fileName) override
    {
        calls << QStringLiteral("SaveDocumentAs ") + fileName;
        diagram->Network()->setFileName(fileName);
        return diagram->FileSave();
    }
};

// Counts the events of one name an object raises.
class EventCounter : public platform::automation::EventSink {
public:
    EventCounter(QString name, std::shared_ptr<int> count) : m_name(std::move(name)), m_count(std::move(count)) {}
    void onEvent(platform::automation::DispId, const QString& name, QList<Variant>&) override
    {
        if (name == m_name)
            ++*m_count;
    }

private:
    QString m_name;
    std::shared_ptr<int> m_count;
};

// A network of two layers: conclusion C (layer 2) linked to its evidence E (layer 1).
inline std::shared_ptr<clsNetwork> twoNodeNetwork()
{
    auto network = clsNetwork::create();
    network->AddNode(1);
    network->AddNode(2);
    const auto evidence = network->Layers().Item(1)->Nodes().Item(1);
    const auto conclusion = network->Layers().Item(2)->Nodes().Item(1);
    evidence->Name()->setText(QStringLiteral("E"));
    conclusion->Name()->setText(QStringLiteral("C"));
    network->AddLink(conclusion, evidence);
    network->Name()->setText(QStringLiteral("Two nodes"));
    network->setDirty(false);
    return network;
}

inline std::shared_ptr<Node> nodeAt(clsNetwork& network, int layer, int position)
{
    return network.Layers().Item(layer)->Nodes().Item(position);
}

// A left click at the centre of a node of the network the main window shows.
inline void clickNode(frmNavigate& w, int layer, int position)
{
    ctlPelnet& diagram = w.ctlPelnet1();
    const auto network = diagram.ActiveNetwork();
    const auto shown = network->Layers().Item(layer);
    const auto node = shown->Nodes().Item(position);
    auto* canvas = diagram.picnetwork();
    const NetworkGrid grid(canvas->ScaleWidth(), canvas->ScaleHeight(), network->Layers().Count());
    const QPointF centre = grid.cell(shown->Index, shown->Nodes().Count(), node->Index()).centre;
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(qRound(centre.x() / 15), qRound(centre.y() / 15)));
}

// The dialog of that kind the main window shows; null when it shows none.
template <class Dialog>
Dialog* shownDialog(QWidget& main)
{
    for (Dialog* dialog : main.findChildren<Dialog*>()) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// A project of one module holding `code`, written where a document keeps it.
inline void writeProject(const QString& fileName, const QString& code, const QString& name = QStringLiteral("Macros"))
{
    MacroProject project(name, {}, 1s);
    project.addModule(QStringLiteral("Module1"), code);
    projectstorage::writeFile(fileName, project);
}

// The automation layer installed as the program installs it, with a short time limit for
// macros, scripted message boxes and settings in the scratch folder.
class AutomationTest : public ::testing::Test {
protected:
    AutomationTest()
    {
        resetProgramGlobals();
        QFile::remove(settingsFile());
    }
    ~AutomationTest() override
    {
        host().ReleaseKnowledgeBase();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        resetProgramGlobals();
    }

    AutomationHost& host() const { return automation.host(); }

    // The host started for a recording window; the live knowledge base bound to `network`,
    // shown by the window's diagram control.
    std::shared_ptr<KnowledgeBase> startWith(const std::shared_ptr<clsNetwork>& network)
    {
        auto recording = std::make_unique<RecordingWindow>();
        window = recording.get();
        window->diagram->Networks.Clear();
        window->diagram->Networks.Add(network, network->GUID());
        window->diagram->setNetwork(network);
        host().startFor(std::move(recording));
        host().CreateKnowledgeBase(network, network->FileName());
        return host().current();
    }

    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    const AutomationInstallation automation {300ms};
    RecordingWindow* window = nullptr;
};

} // namespace kelvane::test
