// The overview (one node per open network, linked where one network opens another) and the
// complete view (the nodes of every level together).

#include "diagram/ctlPelnet.h"

#include "diagram/CompleteViewBuilder.h"
#include "diagram/DiagramSupport.h"
#include "model/ErrorTrap.h"
#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/clsControl.h"
#include "network/BusyPointer.h"

#include <QScopeGuard>

namespace kelvane {

using namespace diagramsupport;

namespace {

// A network's name as an overview node shows it: two blanks break the line, and runs of
// line breaks shrink to one.
QString overviewName(const QString& name)
{
    const QString lineBreak = QStringLiteral("\r\n");
    QString text = basLibrary::ReplaceAll(name, QStringLiteral("  "), lineBreak);
    for (int pass = 0; pass < 6; ++pass)
        text = basLibrary::ReplaceAll(text, lineBreak + lineBreak, lineBreak);
    return text;
}

// The overview node's name takes the network name's text, colour and font.
void nameAfter(Node& node, clsNetwork& network)
{
    try {
        const auto source = network.Name();
        const auto label = node.Name();
        label->setText(overviewName(source->Text()));
        label->ForeColor = source->ForeColor;
        const auto from = source->Font();
        const auto to = label->Font();
        to->Name = from->Name;
        to->Size = from->Size;
        to->Bold = from->Bold;
        to->Italic = from->Italic;
        to->Underline = from->Underline;
        to->Strikethru = from->Strikethru;
    } catch (...) {
        // A name that cannot be copied leaves the node's default name.
    }
}

} // namespace

bool ctlPelnet::CreateOverview()
{
    return trapped(kModule, "CreateOverview", false, [&] {
        const BusyPointer busy;
        // No server updates while the view is built; on every way out the display is loaded again.
        Loaded = false;
        const auto loaded = qScopeGuard([&] { Loaded = true; });

        Overview = clsNetwork::create();
        Overview->Overview = true;
        attach(*Overview);
        Overview->AddLayer();

        std::vector<std::shared_ptr<Node>> overviewNodes;
        for (const auto& network : Networks.Snapshot()) {
            Overview->AddNode(1);
            const auto& nodes = requireObject(Overview->Layers().Item(1))->Nodes();
            const auto node = nodes.Item(nodes.Count());
            nameAfter(*node, *requireObject(network));
            node->LowerLevelNetwork = network;
            overviewNodes.push_back(node);
        }

        // A link wherever a network opens another.
        for (std::size_t i = 0; i < overviewNodes.size(); ++i) {
            forEachNode(*Networks.Item(qsizetype(i) + 1), [&](const std::shared_ptr<Node>& node) {
                if (!node->LowerLevelNetwork)
                    return;
                const qint16 lowerIndex = lowerLevelNetworkOf(*node)->Index;
                if (lowerIndex < 1 || std::size_t(lowerIndex) > overviewNodes.size())
                    raiseError(err::SubscriptOutOfRange);
                Overview->AddLink(overviewNodes[i], overviewNodes[std::size_t(lowerIndex) - 1]);
            });
        }

        for (const auto& control : Network()->Controls) {
            if (Overview->Controls.Contains(requireObject(control)->Name))
                continue;
            auto copy = std::make_shared<clsControl>();
            copy->ControlType = control->ControlType;
            copy->Name = control->Name;
            copy->Value = control->Value;
            Overview->Controls.Add(copy, copy->Name);
        }

        Overview->ReStructure(false);
        return true;
    });
}

void ctlPelnet::ViewOverview()
{
    trappedVoid(kModule, "ViewOverview", [&] {
        setEnabled(true);
        if (Networks.Count() >= 2) {
            CreateOverview();
            setNetworkIndex(1);
            const QString rootGUID = requireObject(Networks.Item(1))->GUID();
            forEachNode(*requireObject(Overview), [&](const std::shared_ptr<Node>& node) {
                if (node->LowerLevelNetwork && node->LowerLevelNetwork->GUID() == rootGUID)
                    node->setSelected(true);
            });
            DisplayOverview = true;
            DisplayCompleteview = false;
        }
        DrawNetwork(false);
    });
}

bool ctlPelnet::CreateComplete()
{
    return trapped(kModule, "CreateComplete", false, [&] {
        const BusyPointer busy;
        Loaded = false;
        const auto loaded = qScopeGuard([&] { Loaded = true; });
        CompleteView = clsNetwork::create();
        attach(*CompleteView);
        CompleteView->CompleteView = true;
        CompleteView->NetworkType = 1;
        CompleteViewBuilder(*CompleteView).build(Networks.Snapshot());
        CompleteView->ReStructure(false);
        return true;
    });
}

void ctlPelnet::ViewCompleteView()
{
    trappedVoid(kModule, "ViewCompleteView", [&] {
        if (Networks.Count() >= 2) {
            CreateComplete();
            setNetworkIndex(1);
            DisplayCompleteview = true;
            DisplayOverview = false;
            // The complete view is looked at, not edited or clicked.
            setEnabled(false);
        }
        DrawNetwork(false);
    });
}

} // namespace kelvane
