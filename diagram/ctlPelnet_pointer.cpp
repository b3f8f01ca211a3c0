// The pointer on the diagram's canvas: the press selects, starts a rubber band or a link,
// completes a link or a node move and opens the popup menus; the move tracks the pointer
// (tooltips and hover events while viewing, rubber lines while editing); the release zooms
// through the handles, raises the click events and Click, completes a dragged link and
// selects by rectangle.

#include "diagram/ctlPelnet.h"

#include "answercontrols/Circle.h"
#include "answercontrols/Twips.h"
#include "diagram/AbstractKnowledgeBaseEvents.h"
#include "diagram/AbstractParentForm.h"
#include "diagram/DiagramSupport.h"
#include "diagram/NetworkCanvas.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/basGlobal.h"
#include "platform/PointerCodes.h"
#include "platform/UiServices.h"

#include <QMenu>
#include <algorithm>
#include <optional>

namespace kelvane {

using namespace diagramsupport;

namespace {

constexpr qint16 kNoModifier = 0;
constexpr qint16 kCtrlAlone = platform::pointer::CtrlMask;
// The layering settles in one call; the bound only keeps a failing one from looping.
constexpr int kStructurePasses = 8;

bool viewing() { return basGlobal::ApplicationMode == 1; }

void busy(bool on) { platform::ui().setBusyPointer(on); }

void warn(const QString& text)
{
    platform::ui().messageBox(text, platform::msgbox::OKOnly | platform::msgbox::Exclamation,
                              platform::applicationTitle());
}

// The last of the node's links that leads to `target`, of those `accepts` takes.
template <class Accepts>
std::shared_ptr<Link> lastLinkTo(const Node& node, const Node& target, Accepts&& accepts)
{
    std::shared_ptr<Link> found;
    for (const auto& link : node.Links()) {
        const auto& to = requireObject(link)->ConnectionTo;
        if (to && to->GUID == target.GUID && accepts(*to))
            found = link;
    }
    return found;
}

} // namespace

// --- Wiring -------------------------------------------------------------------------------------

void ctlPelnet::createPointerFeedback()
{
    m_circle1 = new Circle(m_picnetwork);
    m_circle2 = new Circle(m_picnetwork);
    m_circle1->hide();
    m_circle2->hide();
    m_linLink = &m_picnetwork->addLine();
    for (auto& side : m_rubberBand)
        side = &m_picnetwork->addLine();

    connect(m_picnetwork, &NetworkCanvas::MouseDown, this, &ctlPelnet::picnetwork_MouseDown);
    connect(m_picnetwork, &NetworkCanvas::MouseMove, this, &ctlPelnet::picnetwork_MouseMove);
    connect(m_picnetwork, &NetworkCanvas::MouseUp, this, &ctlPelnet::picnetwork_MouseUp);
    connect(m_picnetwork, &NetworkCanvas::DblClick, this, &ctlPelnet::picnetwork_DblClick);
    connect(m_circle1, &Circle::MouseDown, this, &ctlPelnet::Circle1_MouseDown);
}

void ctlPelnet::pointerHandler(const char* procedureName, const std::function<void()>& body)
{
    if (!trappedVoid(kModule, procedureName, body))
        abandonGestures();
}

// After a failure the next gesture starts clean: no link, rubber band or move under way,
// their feedback gone, the default pointer.
void ctlPelnet::abandonGestures()
{
    cbLinkAnchored = false;
    cbSelectionAnchored = false;
    endMove();
    m_linLink->setVisible(false);
    for (auto* side : m_rubberBand)
        side->setVisible(false);
    busy(false);
}

void ctlPelnet::popup(QMenu* menu, float X, float Y)
{
    menu->exec(m_picnetwork->mapToGlobal(QPoint(twips::toPixels(X), twips::toPixels(Y))));
}

// --- Press --------------------------------------------------------------------------------------

void ctlPelnet::Circle1_MouseDown(qint16 Button, qint16 Shift, float X, float Y)
{
    // A press on the marker is a press on the canvas at the same place.
    pointerHandler("Circle1_MouseDown", [&] {
        picnetwork_MouseDown(Button, Shift, float(twips::Left(*m_circle1) + X), float(twips::Top(*m_circle1) + Y));
    });
}

void ctlPelnet::picnetwork_MouseDown(qint16 Button, qint16 Shift, float X, float Y)
{
    pointerHandler("picNetwork_MouseDown", [&] {
        busy(true);
        const auto previous = NodeFound;
        // A press on a handle waits for its release, which zooms; so does any press on the overview.
        if (OverDown(X, Y) || OverUp(X, Y))
            return;
        NodeFound = OverNode(X, Y);
        LinkFound = OverLink(X, Y);
        if (DisplayOverview)
            return;

        if (viewing()) {
            // Viewing only selects; the release raises the events.
            if (NodeFound && NodeFound->Enabled()) {
                clearSelection(*ActiveNetwork());
                NodeFound->setSelected(true);
            }
            return;
        }

        if (ParentForm)
            ParentForm->SetFocus();
        const bool right = Button == platform::pointer::RightButton;
        if (cbMoveAnchored) {
            completeMove();
        } else if (!NodeFound) {
            if (right) {
                busy(false);
                popup(LinkFound && Selected.isEmpty() ? m_mnuLink : m_mnuNetwork, X, Y);
            } else if (!LinkFound && Shift != kCtrlAlone) {
                cbSelectionAnchored = true;
                for (auto* side : m_rubberBand) {
                    side->setEnds(QPointF(X, Y), QPointF(X, Y));
                    side->setVisible(true);
                }
            }
            NodeFound = nullptr;
        } else if (cbLinkAnchored) {
            completeLinkByPress(previous);
        } else if (right && Selected.Count() >= 2 && NodeFound->Selected()) {
            // A right press on a member of a multiple selection acts on the whole selection.
            popup(m_mnuNetwork, X, Y);
        } else {
            pressOnNode(Button, Shift, X, Y);
        }
        UpdateToolbar();
        busy(false);
    });
}

// Without a modifier the node becomes the selection; with one it goes in or out of it. The
// right button then opens the node menu; another button starts a link from an enabled node.
void ctlPelnet::pressOnNode(qint16 Button, qint16 Shift, float X, float Y)
{
    const auto shown = ActiveNetwork();
    {
        // Marking a node hands the focus to its narrator button, which then leaves that node
        // the only one marked: right for a plain press, not for one that adds to the selection.
        std::optional<QuietSelection> quiet;
        if (Shift != kNoModifier)
            quiet.emplace();
        if (Shift == kNoModifier) {
            Selected.Clear();
            clearSelection(*shown);
        }
        if (NodeFound->Selected()) {
            for (qsizetype position = 1; position <= Selected.Count(); ++position) {
                if (requireObject(Selected.Item(position))->GUID == NodeFound->GUID)
                    Selected.Remove(position--);
            }
            NodeFound->setSelected(false);
        } else {
            Selected.Add(NodeFound);
            NodeFound->setSelected(true);
        }
    }
    DrawNetwork(false);

    if (Button == platform::pointer::RightButton) {
        popup(m_mnuNode, X, Y);
        mnuNode_Click();
    } else if (NodeFound->Enabled() && Shift != kCtrlAlone) {
        const QPointF centre = cellOf(gridOf(*shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight()), *NodeFound).centre;
        m_linLink->setEnds(centre, centre);
        m_linLink->setVisible(true);
        cbLinkAnchored = true;
    }
}

// --- Links made with the pointer ----------------------------------------------------------------

// Whether a link from `start` to `target` may be made. A nested node and a cycle are refused
// with a message; a missing, disabled or identical node silently.
bool ctlPelnet::linkAllowed(const std::shared_ptr<Node>& start, const std::shared_ptr<Node>& target)
{
    if (!target || !target->Enabled() || !start || start->GUID == target->GUID)
        return false;
    if (start->External()) {
        warn(QStringLiteral("Cannot link from nested node"));
        return false;
    }
    if (!ActiveNetwork()->CheckLink(layerOf(*start)->Index, start->Index(), layerOf(*target)->Index, target->Index())) {
        warn(QStringLiteral("Link would cause cycles"));
        return false;
    }
    return start->Enabled();
}

// Records the snapshot and adds the link; a link that does not lead to a lower layer has
// the layers rearranged.
void ctlPelnet::addLinkAndRestructure(const std::shared_ptr<Node>& start, const std::shared_ptr<Node>& target)
{
    Change();
    const auto shown = ActiveNetwork();
    if (!shown->AddLink(start, target) || layerOf(*start)->Index > layerOf(*target)->Index)
        return;
    for (int pass = 0; pass < kStructurePasses && !shown->Structure(); ++pass) {
    }
}

// A press on a node while a link is drawn from `start` completes it; a link that exists
// already shows its properties.
void ctlPelnet::completeLinkByPress(const std::shared_ptr<Node>& start)
{
    if (linkAllowed(start, NodeFound)) {
        if (const auto existing = lastLinkTo(*start, *NodeFound, [](const Node& to) { return to.Enabled(); })) {
            LinkFound = existing;
            mnuLinkProperties_Click();
        } else {
            addLinkAndRestructure(start, NodeFound);
        }
    }
    m_linLink->setVisible(false);
    DrawNetwork(false);
    cbLinkAnchored = false;
}

// A release on another node than the one the drag began at makes the link; a link that
// exists already opens the link menu.
void ctlPelnet::completeLinkByRelease(const std::shared_ptr<Node>& start, float X, float Y)
{
    if (!linkAllowed(start, NodeFound))
        return;
    if (const auto existing = lastLinkTo(*start, *NodeFound, [](const Node&) { return true; })) {
        LinkFound = existing;
        m_linLink->setVisible(false);
        popup(m_mnuLink, X, Y);
    } else {
        addLinkAndRestructure(start, NodeFound);
        UpdateButtons();
        NodeFound = nullptr;
    }
    DrawNetwork(false);
}

// --- Move ---------------------------------------------------------------------------------------

void ctlPelnet::picnetwork_MouseMove(qint16, qint16, float X, float Y)
{
    pointerHandler("picNetwork_MouseMove", [&] {
        if (DisplayOverview)
            return;
        if (cbMoveAnchored) {
            if (!moveFeedback(X, Y))
                return;
        } else if (viewing()) {
            trackPointer(X, Y);
        }
        // The rubber line and the rubber band follow the pointer (shown only while drawn).
        m_linLink->setX2(X);
        m_linLink->setY2(Y);
        Line1().setX2(X);
        Line2().setEnds(QPointF(X, Line2().Y1()), QPointF(X, Y));
        Line3().setEnds(QPointF(X, Y), QPointF(Line3().X2(), Y));
        Line4().setY1(Y);
        busy(false);
    });
}

// While viewing: the hover events, and the tooltip of what lies under the pointer. A
// disabled node changes nothing.
void ctlPelnet::trackPointer(float& X, float& Y)
{
    auto& knowledgeBase = liveKnowledgeBase();
    knowledgeBase.FireNetworkMouseMove(X, Y);
    NodeFound = OverNode(X, Y);
    LinkFound = OverLink(X, Y);
    if (!NodeFound && !LinkFound) {
        m_picnetwork->setToolTipText(ActiveNetwork()->TooltipText);
    } else if (!NodeFound) {
        knowledgeBase.FireLinkMouseMove(LinkFound);
        m_picnetwork->setToolTipText(requireObject(LinkFound)->TooltipText);
    } else if (NodeFound->Enabled()) {
        knowledgeBase.FireNodeMouseMove(NodeFound);
        m_picnetwork->setToolTipText(requireObject(NodeFound)->TooltipText);
    }
}

// --- Release ------------------------------------------------------------------------------------

void ctlPelnet::picnetwork_MouseUp(qint16 Button, qint16 Shift, float X, float Y)
{
    pointerHandler("picNetwork_MouseUp", [&] {
        const auto start = NodeFound;
        auto& knowledgeBase = liveKnowledgeBase();
        if (viewing()) {
            knowledgeBase.FireNetworkMouseClick(Button);
            platform::ui().yield();
        }
        if (const auto lower = OverDown(X, Y)) {
            ZoomIn(lower);
        } else if (const auto upper = OverUp(X, Y)) {
            ZoomOut(upper->HigherLevelNodes.Item(1).lock());
        } else {
            NodeFound = OverNode(X, Y);
            LinkFound = OverLink(X, Y);
            if (NodeFound && DisplayOverview) {
                ZoomIn(NodeFound);
                DisplayOverview = false;
                DrawNetwork(false);
            } else if (NodeFound) {
                if (viewing()) {
                    knowledgeBase.FireNodeMouseClick(Button, NodeFound);
                    platform::ui().yield();
                    if (Button == platform::pointer::LeftButton) {
                        Q_EMIT Click(NodeFound);
                        platform::ui().yield();
                    }
                }
                if (cbLinkAnchored)
                    completeLinkByRelease(start, X, Y);
                else if (cbSelectionAnchored)
                    selectByRectangle();
            } else if (cbSelectionAnchored) {
                selectByRectangle();
            } else if (viewing() && LinkFound) {
                knowledgeBase.FireLinkMouseClick(Button, LinkFound);
                platform::ui().yield();
            }
        }
        // Whatever happened, link drawing and the rubber band end here.
        m_linLink->setVisible(false);
        for (auto* side : m_rubberBand)
            side->setVisible(false);
        cbLinkAnchored = false;
        cbSelectionAnchored = false;
        UpdateToolbar();
        busy(false);
    });
}

// Selects the nodes whose boxes (half a quarter-step on each side of the centre) overlap
// the rubber band, strictly; every other node ends up unselected. The selection lists them
// from the last layer to the first.
void ctlPelnet::selectByRectangle()
{
    busy(true);
    Selected.Clear();
    const double left = std::min(Line1().X1(), Line1().X2());
    const double right = std::max(Line1().X1(), Line1().X2());
    const double top = std::min(Line2().Y1(), Line2().Y2());
    const double bottom = std::max(Line2().Y1(), Line2().Y2());
    const auto shown = ActiveNetwork();
    {
        const QuietSelection quiet;
        forEachNodeCell(*shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight(),
                        [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
                            const double half = double(std::min(cell.columnWidth, cell.rowHeight)) / 4.0;
                            const QPointF centre = cell.centre;
                            node->setSelected(left < centre.x() + half && right > centre.x() - half
                                              && top < centre.y() + half && bottom > centre.y() - half);
                        });
    }
    const auto layers = shown->Layers().Snapshot();
    for (auto layer = layers.rbegin(); layer != layers.rend(); ++layer) {
        for (const auto& node : requireObject(*layer)->Nodes()) {
            if (requireObject(node)->Selected())
                Selected.Add(node);
        }
    }
    DrawNetwork(false);
    busy(false);
    NodeFound = nullptr;
}

} // namespace kelvane
