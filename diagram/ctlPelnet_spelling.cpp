// The spell check of the network menu: every text of the shown network goes through the
// spelling service in turn, the network's name and description first, then each node's name,
// question, reason and answer options, layer by layer.

#include "diagram/ctlPelnet.h"

#include "diagram/AbstractParentForm.h"
#include "diagram/DiagramSupport.h"
#include "diagram/StoredTextCorrection.h"
#include "model/AbstractProgressBar.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "network/BusyPointer.h"
#include "platform/UiServices.h"

namespace kelvane {

using namespace diagramsupport;

namespace {

// Lets the user correct the label's text. Only a text the check changed is written back, the
// words corrected inside the stored text so its link markup stays; a text that comes back
// blank keeps its old value. False when the user stopped the check.
bool checkLabel(const std::shared_ptr<TextLabel>& label)
{
    if (!label)
        return true;
    const QString text = label->Text();
    const platform::SpellingResult checked = platform::ui().checkSpelling(text);
    const bool blanked = checked.text.trimmed().isEmpty() && !text.isEmpty();
    if (checked.text != text && !blanked)
        label->setText(storedtextcorrection::Apply(label->HTML, text, checked.text));
    return !checked.cancelled;
}

// False when the user stopped the check.
bool checkNode(Node& node)
{
    if (!checkLabel(node.Name()) || !checkLabel(node.Question) || !checkLabel(node.Reason))
        return false;
    for (const auto& answer : node.Answers.Snapshot()) {
        if (!checkLabel(answer))
            return false;
    }
    return true;
}

} // namespace

void ctlPelnet::mnuNetworkSpellCheck_Click()
{
    trappedVoid(kModule, "mnuNetworkSpellCheck_Click", [&] {
        const BusyPointer busy;
        Change();
        if (!platform::ui().spellingAvailable())
            raiseError(err::CantCreateObject, QStringLiteral("No spelling checker is available."));
        const auto shown = ActiveNetwork();
        shown->setDirty(true);
        AbstractProgressBar* progress = ParentForm ? ParentForm->ProgressBar1() : nullptr;
        const auto showProgress = [&](int value) {
            if (progress)
                skippingErrors([&] { progress->setValue(value); });
        };
        showProgress(0);

        bool completed = checkLabel(shown->Name()) && checkLabel(shown->KBDescription());
        const double total = shown->NodeCount();
        int done = 0;
        for (const auto& layer : shown->Layers().Snapshot()) {
            for (const auto& node : requireObject(layer)->Nodes().Snapshot()) {
                if (!completed)
                    break;
                completed = checkNode(*requireObject(node));
                ++done;
                showProgress(int(done / total * 100.0));
            }
            if (!completed)
                break;
        }

        DrawNetwork(false);
        sendEditToServer();
        // A check the user stopped is not complete.
        if (completed)
            platform::ui().messageBox(QStringLiteral("Spell Check is complete"),
                                      platform::msgbox::OKOnly | platform::msgbox::Information,
                                      platform::applicationTitle());
        showProgress(0);
    });
}

} // namespace kelvane
