#include "consult/ConsultationFlow.h"

#include "consult/AbstractConsultationEvents.h"
#include "consult/AbstractMainWindow.h"
#include "consult/frmAnswer.h"
#include "consult/frmPreconditions.h"
#include "consult/frmQuestion.h"
#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"

#include <QSet>

namespace basKelva {

using namespace kelvane;

namespace {

constexpr char kModule[] = "basKelva";

// Runs a procedure of the consultation under its error trap: false when it failed, and the
// main window is then enabled when no dialog is left to go on with.
template <class Body>
bool flowStep(const char* procedure, Body&& body)
{
    bool result = false;
    if (trappedVoid(kModule, procedure, [&] { result = body(); }))
        return result;
    EnableMainWindowWhenIdle();
    return false;
}

// The window as a preconditions dialog; null for any other window or none.
frmPreconditions* asPreconditions(ConsultationWindow* window)
{
    if (!window || window->Name() != frmPreconditions::kName)
        return nullptr;
    auto* list = dynamic_cast<frmPreconditions*>(window);
    if (!list)
        raiseError(err::TypeMismatch);
    return list;
}

// Any other window is the main window.
AbstractMainWindow& asMainWindow(ConsultationWindow* window)
{
    if (!window)
        raiseError(err::ObjectNotSet);
    auto* main = dynamic_cast<AbstractMainWindow*>(window);
    if (!main)
        raiseError(err::ObjectDoesNotSupport);
    return *main;
}

// The diagram control a window works with.
ctlPelnet& displayOf(ConsultationWindow* window)
{
    if (auto* list = asPreconditions(window))
        return *requireObject(list->ParentDisplay.get());
    return asMainWindow(window).ctlPelnet1();
}

// A new dialog for the node, asked from `window`: it returns to the same main window and
// diagram, and to the preconditions dialog when one asked.
template <class Dialog>
Dialog* newDialog(const NodePtr& node, ConsultationWindow* window)
{
    AbstractMainWindow* main = nullptr;
    ctlPelnet* display = nullptr;
    frmPreconditions* behind = nullptr;
    if (auto* list = asPreconditions(window)) {
        main = requireObject(list->ParentForm);
        display = list->ParentDisplay;
        behind = list;
    } else {
        main = &asMainWindow(window);
        display = &main->ctlPelnet1();
    }
    auto* dialog = new Dialog(&main->widget()); // a child window of the main window, which owns it
    dialog->node = node;
    dialog->ParentForm = main;
    dialog->ParentDisplay = display;
    dialog->ParentPrecondition = behind;
    return dialog;
}

void returnToMainWindow()
{
    AbstractMainWindow& main = mainWindow();
    main.ctlPelnet1().DrawNetwork();
    main.setEnabled(true);
    main.SetFocus();
}

bool isPending(const Node& node)
{
    bool pending = false;
    for (const auto& link : node.Links()) {
        const Node& evidence = *requireObject(link->ConnectionTo);
        if ((evidence.Enabled() && !evidence.Answered) || evidence.NeedInfo() || evidence.Required())
            pending = true;
    }
    return pending;
}

// The click, going down through external nodes; `entered` holds the external nodes passed
// on the way, so a lower-level node that leads back to one of them fails instead of
// descending for ever.
bool clickEvents(const NodePtr& node, ConsultationWindow* window, QSet<const Node*>& entered)
{
    const Node& clicked = *requireObject(node);
    if (isPending(clicked))
        return HandlePreconditionEvents(node, window);
    if (clicked.External()) {
        if (entered.contains(&clicked))
            raiseError(err::InvalidProcedureCall, QStringLiteral("The lower-level networks lead back to ") + node->Name()->Text());
        entered.insert(&clicked);
        ctlPelnet& display = displayOf(window);
        display.NestedHistory.Add(node);
        display.ZoomIn(node);
        // The main window stays disabled until the consultation at the lower level ends.
        return clickEvents(requireObject(node->LowerLevelNode), window, entered);
    }
    if (auto* list = asPreconditions(window))
        list->setVisible(false);
    return HandleQuestionEvents(node, window);
}

} // namespace

bool HandleViewerNodeClickEvents(const NodePtr& node, ConsultationWindow* window)
{
    return flowStep("HandleViewerNodeClickEvents", [&] {
        QSet<const Node*> entered;
        return clickEvents(node, window, entered);
    });
}

bool HandlePreconditionEvents(const NodePtr& node, ConsultationWindow* window)
{
    return flowStep("HandlePreconditionEvents", [&] {
        bool Cancel = false;
        consultationEvents().FireNodePrecondition(node, Cancel);
        if (Cancel) {
            qint16 flag = 0;
            consultationEvents().FireNodeAfterPrecondition(node, flag);
            if (flag != 0)
                HandleBackwardChain(node, window);
            else
                HandleQuestionEvents(node, window);
            return false;
        }
        newDialog<frmPreconditions>(node, window)->Show();
        return true;
    });
}

bool HandleQuestionEvents(const NodePtr& node, ConsultationWindow* window)
{
    return flowStep("HandleQuestionEvents", [&] {
        bool Cancel = false;
        consultationEvents().FireNodeQuestion(node, Cancel);
        if (Cancel) {
            qint16 flag = 0;
            consultationEvents().FireNodeAfterQuestion(node, flag);
            if (requireObject(node)->Links().Count() == 0 || flag != 0)
                HandleBackwardChain(node, window);
            else
                HandleAnswerEvents(node, window);
            return false;
        }
        newDialog<frmQuestion>(node, window)->Show();
        return true;
    });
}

void HandleAnswerEvents(const NodePtr& node, ConsultationWindow* window)
{
    flowStep("HandleAnswerEvents", [&] {
        bool Cancel = false;
        consultationEvents().FireNodeAnswer(node, Cancel);
        if (!Cancel) {
            // The answer dialog goes back to the list one level further back than the
            // preconditions dialog that asked, when there is one.
            frmAnswer* dialog = newDialog<frmAnswer>(node, window ? window : &mainWindow());
            if (dialog->ParentPrecondition)
                dialog->ParentPrecondition = dialog->ParentPrecondition->ParentPrecondition;
            dialog->Show();
            return true;
        }
        qint16 flag = 0;
        consultationEvents().FireNodeAfterAnswer(node, flag);
        if (!window || window->Name() == AbstractMainWindow::kName) {
            mainWindow().setEnabled(true);
        } else if (frmPreconditions* behind = requireObject(asPreconditions(window))->ParentPrecondition) {
            HandleBackwardChain(node, behind);
        } else {
            mainWindow().setEnabled(true);
        }
        return true;
    });
}

void HandleBackwardChain(const NodePtr& node, ConsultationWindow* window)
{
    flowStep("HandleBackwardChain", [&] {
        if (!window) {
            returnToMainWindow();
            return true;
        }

        // Out of the lower-level network entered last, when the node answered is the one
        // its external node stands for. One level per call.
        ctlPelnet& display = displayOf(window);
        if (!requireObject(node)->HigherLevelNodes.isEmpty() && !display.NestedHistory.isEmpty()) {
            const auto innermost = display.NestedHistory.Item(display.NestedHistory.Count());
            if (innermost->LowerLevelNode && innermost->LowerLevelNode->GUID == node->GUID) {
                display.ZoomOut(innermost);
                display.NestedHistory.Remove(display.NestedHistory.Count());
            }
        }

        if (frmPreconditions* list = asPreconditions(window)) {
            bool Cancel = false;
            consultationEvents().FireNodePrecondition(node, Cancel);
            display.DrawNetwork();
            if (!Cancel) {
                list->PopulateForm();
                list->Show();
            } else {
                AbstractMainWindow& main = mainWindow();
                main.setEnabled(true);
                main.SetFocus();
            }
            return true;
        }
        returnToMainWindow();
        return true;
    });
}

void EnableMainWindowWhenIdle()
{
    skippingErrors([] {
        AbstractMainWindow& main = mainWindow();
        for (const ConsultationDialog* dialog : ConsultationDialog::loadedDialogs(main.widget()))
            if (dialog->isVisible())
                return;
        main.setEnabled(true);
    });
}

} // namespace basKelva
