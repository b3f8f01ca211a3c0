// Picking up a node's text style or answer options, and applying them to another node. What
// was picked up is held by the pick-up nodes for the whole run, for every diagram control.

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "diagram/PickupNodes.h"
#include "model/ErrorTrap.h"
#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "network/BusyPointer.h"

#include <array>

namespace kelvane {

using namespace diagramsupport;

namespace {

// The labels whose style is picked up: the name, the question and the reason.
std::array<std::shared_ptr<TextLabel>, 3> styledLabels(Node& node)
{
    return {node.Name(), node.Question, node.Reason};
}

// Colour, font name, size, bold, italic and underline; the strikethrough stays. A label that
// is missing gives or takes nothing.
void copyStyle(const std::shared_ptr<TextLabel>& from, const std::shared_ptr<TextLabel>& to)
{
    if (!from || !to)
        return;
    to->ForeColor = from->ForeColor;
    const auto source = from->Font();
    const auto target = to->Font();
    target->Name = source->Name;
    target->Size = source->Size;
    target->Bold = source->Bold;
    target->Italic = source->Italic;
    target->Underline = source->Underline;
}

void copyLabelStyles(Node& from, Node& to)
{
    const auto sources = styledLabels(from);
    const auto targets = styledLabels(to);
    for (std::size_t i = 0; i < sources.size(); ++i)
        skippingErrors([&] { copyStyle(sources[i], targets[i]); });
}

// A copy of an answer option: its plain text (without links) in its style.
std::shared_ptr<TextLabel> answerCopy(const std::shared_ptr<TextLabel>& answer)
{
    auto copy = std::make_shared<TextLabel>();
    skippingErrors([&] { copy->setText(requireObject(answer)->Text()); });
    skippingErrors([&] { copyStyle(answer, copy); });
    return copy;
}

Collection<std::shared_ptr<TextLabel>> answerCopies(const Node& node)
{
    Collection<std::shared_ptr<TextLabel>> copies;
    for (const auto& answer : node.Answers)
        copies.Add(answerCopy(answer));
    return copies;
}

} // namespace

void ctlPelnet::mnuNodePickupFont_Click()
{
    trappedVoid(kModule, "mnuNodePickupFont_Click", [&] {
        const BusyPointer busy;
        PickupNodes::FontPickupNode = std::make_shared<Node>();
        if (NodeFound)
            copyLabelStyles(*NodeFound, *PickupNodes::FontPickupNode);
    });
}

void ctlPelnet::mnuPickUpAnswers_Click()
{
    trappedVoid(kModule, "mnuPickUpAnswers_Click", [&] {
        const BusyPointer busy;
        PickupNodes::AnswerPickupNode = std::make_shared<Node>();
        PickupNodes::AnswerPickupNode->Answers = answerCopies(*requireObject(NodeFound));
    });
}

void ctlPelnet::mnuNodeApplyFonts_Click()
{
    const auto pickup = PickupNodes::FontPickupNode;
    if (!NodeFound || !pickup)
        return;
    trappedVoid(kModule, "mnuNodeApplyFonts_Click", [&] {
        const BusyPointer busy;
        Change();
        copyLabelStyles(*pickup, *NodeFound);
        DrawNetwork(false);
        sendEditToServer();
    });
}

void ctlPelnet::mnuNodeApplyAnswers_Click()
{
    const auto pickup = PickupNodes::AnswerPickupNode;
    if (!NodeFound || !pickup)
        return;
    trappedVoid(kModule, "mnuNodeApplyAnswers_Click", [&] {
        const BusyPointer busy;
        Change();
        // The node's options are replaced only once the whole new list is made.
        NodeFound->Answers = answerCopies(*pickup);
        DrawNetwork(false);
        sendEditToServer();
    });
}

} // namespace kelvane
