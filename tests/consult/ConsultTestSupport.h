#pragma once

#include "answercontrols/Fuzzy.h"
#include "answercontrols/OptionButton.h"
#include "consult/ConsultationFlow.h"
#include "consult/doubles/RecordingConsultationEvents.h"
#include "consult/doubles/TestMainWindow.h"
#include "consult/frmAnswer.h"
#include "consult/frmPreconditions.h"
#include "consult/frmQuestion.h"
#include "model/clsControl.h"
#include "model/doubles/StubKnowledgeBase.h"
#include "tests/diagram/DiagramTestSupport.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <functional>

namespace kelvane::test {

// Input that arrives at the next yield of the program only.
inline std::function<void()> once(std::function<void()> act)
{
    return [act = std::move(act), done = false]() mutable {
        if (!std::exchange(done, true))
            act();
    };
}

inline void defineControl(Node& node, const QString& type, const QString& name, const QString& value)
{
    addControl(node, name, value, value)->ControlType = type;
}

// The consultation dialogs of that kind showing among the main window's children.
template <class Dialog>
QList<Dialog*> showingDialogs(QWidget& main)
{
    QList<Dialog*> shown;
    for (ConsultationDialog* dialog : ConsultationDialog::loadedDialogs(main))
        if (auto* typed = qobject_cast<Dialog*>(dialog); typed && typed->isVisible())
            shown << typed;
    return shown;
}

// The one dialog of that kind showing; null (and a failure) when none or several.
template <class Dialog>
Dialog* showing(QWidget& main)
{
    const QList<Dialog*> shown = showingDialogs<Dialog>(main);
    EXPECT_EQ(shown.size(), 1) << Dialog::staticMetaObject.className();
    return shown.size() == 1 ? shown.front() : nullptr;
}

inline qsizetype showingCount(QWidget& main) { return showingDialogs<ConsultationDialog>(main).size(); }

// Clicks answer option `option` (1 is the first answer) on its round button.
inline void choose(frmQuestion& question, int option)
{
    OptionButton& button = question.Fuzzy1()->optOption(option);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(6, button.height() / 2));
}

// Chooses the option and clicks OK.
inline void answer(frmQuestion& question, int option)
{
    choose(question, option);
    QTest::mouseClick(question.cmdOK(), Qt::LeftButton);
}

// Double-clicks line `row` of the list.
inline void doubleClickLine(frmPreconditions& preconditions, int row)
{
    QTreeWidget& list = *preconditions.lstPreconditions();
    const QRect line = list.visualItemRect(list.topLevelItem(row));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, line.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, line.center());
}

// A knowledge base of two nodes in the main window's diagram: the evidence E (answers
// "Yes", "No") and the conclusion C (answers "Yes", "Perhaps", "No"), whose one link to E
// carries E's answer over unchanged. The program is in viewing mode; every consultation
// event is recorded.
class ConsultationTest : public ::testing::Test {
protected:
    ConsultationTest()
    {
        basGlobal::ApplicationMode = 1;
        basGlobal::AlignRight = false;
        knowledgeBase->network = net.network;
        basGlobal::CurrentKnowledgeBase = knowledgeBase;
        net.links("C>E");
        for (const char* name : {"E", "C"})
            net[name]->Question->setText(QStringLiteral("Is %1 so?").arg(QLatin1String(name)));
        setAnswerTexts(*E, {"Yes", "No"});
        setAnswerTexts(*C, {"Yes", "Perhaps", "No"});
        link().WeightDeny = 1;
        link().WeightAffirm = 1;
        showNetworks(display(), {net.network});
        main.show();
    }
    ~ConsultationTest() override
    {
        for (ConsultationDialog* dialog : ConsultationDialog::loadedDialogs(main))
            delete dialog;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        basGlobal::CurrentKnowledgeBase.reset();
        basGlobal::ApplicationMode = 0;
        basGlobal::AlignRight = false;
    }

    ctlPelnet& display() { return main.ctlPelnet1(); }
    Link& link() { return *C->Links().Item(1); }

    // A click on the node as the main window hands it over: the window disabled, then the
    // consultation with the main window as the calling window.
    bool click(const std::shared_ptr<Node>& node)
    {
        main.setEnabled(false);
        return basKelva::HandleViewerNodeClickEvents(node, &main);
    }

    template <class Dialog>
    Dialog* showing()
    {
        return test::showing<Dialog>(main);
    }
    qsizetype showingCount() { return test::showingCount(main); }

    QStringList& events() { return m_events->events; }
    QHash<QString, int>& macro() { return m_events->answers; }

    platform::ScopedService<platform::UiServices, YieldingUiServices> ui;
    platform::ScopedService<AbstractConsultationEvents, doubles::RecordingConsultationEvents> m_events;
    std::shared_ptr<doubles::StubKnowledgeBase> knowledgeBase = std::make_shared<doubles::StubKnowledgeBase>();
    NetworkBuilder net {"E", "C"};
    std::shared_ptr<Node> E = net["E"];
    std::shared_ptr<Node> C = net["C"];
    doubles::TestMainWindow main;
};

} // namespace kelvane::test
