// Whole-document operations: the document's XML text, GUID renewal, control propagation, and
// taking over a document another control opened.

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/ParallelRanges.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kelvane {

using namespace diagramsupport;

namespace {

// Every node of the network, in order.
std::vector<std::shared_ptr<Node>> nodesOf(clsNetwork& network)
{
    std::vector<std::shared_ptr<Node>> nodes;
    nodes.reserve(std::size_t(std::max<qint64>(network.NodeCount(), 0)));
    forEachNode(network, [&](const std::shared_ptr<Node>& node) { nodes.push_back(node); });
    return nodes;
}

// Fewer nodes than this have their links visited by the caller alone.
constexpr std::size_t kHoldersPerRange = 16384;

// Calls `visit(link)` for every link of the nodes that is joined to its evidence node, the
// nodes' links side by side: `visit` may touch the link alone.
template <class Visit>
void forEachJoinedLink(platform::RangeWorkers& workers, const std::vector<std::shared_ptr<Node>>& nodes,
                       const Visit& visit)
{
    workers.start(nodes.size(), kHoldersPerRange, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            for (const auto& link : std::as_const(*nodes[i]).Links()) {
                if (link && link->ConnectionTo)
                    visit(*link);
            }
        }
    });
    workers.wait();
}

} // namespace

QString ctlPelnet::SerializeOutXML()
{
    return trapped(kModule, "SerializeOutXML", QString(), [&] {
        const QString lineEnd = QStringLiteral("\r\n");
        QString text = QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>") + lineEnd
            + QStringLiteral("<!DOCTYPE kelvanedocument>") + lineEnd + QStringLiteral("<kelvanedocument>") + lineEnd;
        for (const auto& network : Networks) {
            text += QStringLiteral("<kelvanenetwork>") + lineEnd + requireObject(network)->SerializeOutXML()
                + QStringLiteral("</kelvanenetwork>") + lineEnd;
        }
        return text + QStringLiteral("</kelvanedocument>") + lineEnd;
    });
}

void ctlPelnet::RecreateGUIDs()
{
    trappedVoid(kModule, "RecreateGUIDs", [&] {
        platform::RangeWorkers workers;
        for (const auto& network : Networks.Snapshot()) {
            requireObject(network)->setGUID(basLibrary::NewGUIDString());
            const auto nodes = nodesOf(*network);
            // The links let go of their evidence nodes' old GUID texts first, so that each
            // node's new GUID is written over its old one rather than kept beside it.
            forEachJoinedLink(workers, nodes, [](Link& link) { link.NodeGUIDRef.clear(); });
            for (const auto& node : nodes) {
                basLibrary::RenewGUIDString(node->GUID);
                // The nodes that open this network at this node name it by its new identity.
                for (const auto& higherRef : node->HigherLevelNodes) {
                    if (const auto higher = higherRef.lock()) {
                        higher->ExternalNetworkGUID = network->GUID();
                        higher->setExternalGUID(node->GUID);
                    }
                }
            }
            forEachJoinedLink(workers, nodes, [](Link& link) { link.NodeGUIDRef = link.ConnectionTo->GUID; });
        }
    });
}

void ctlPelnet::PropogateControls()
{
    trappedVoid(kModule, "PropogateControls", [&] {
        for (const auto& network : Networks.Snapshot()) {
            if (requireObject(network)->Controls.isEmpty())
                continue;
            forEachNode(*network, [&](const std::shared_ptr<Node>& node) { addMissingControls(*node, network->Controls); });
        }
    });
}

void ctlPelnet::TakeDocument(ctlPelnet& opened)
{
    trappedVoid(kModule, "TakeDocument", [&] {
        abandonGestures();
        Selected.Clear();
        NestedHistory.Clear();
        NodeFound.reset();
        LinkFound.reset();

        Networks = opened.Networks;
        m_network = opened.Network();
        Overview = opened.Overview;
        CompleteView = opened.CompleteView;
        for (const auto& network : Networks.Snapshot())
            attach(*requireObject(network));
        for (const auto& view : {Overview, CompleteView}) {
            if (view)
                attach(*view);
        }
        setNetworkIndex(opened.NetworkIndex());
        DisplayOverview = opened.DisplayOverview;
        DisplayCompleteview = opened.DisplayCompleteview;
        SplashFile = opened.SplashFile;
        BackgroundFile = opened.BackgroundFile;
        m_imgSplash = opened.m_imgSplash;
        m_picBackground = opened.m_picBackground;
        m_notOpened = opened.m_notOpened;
        Loaded = true;

        // The other control lets go, so that closing it leaves the levels linked.
        auto empty = clsNetwork::create();
        opened.Networks.Clear();
        opened.setNetwork(empty);
        opened.Networks.Add(empty);
        opened.Overview.reset();
        opened.CompleteView.reset();

        m_lastShownGUID.clear();
        UpdateButtons();
        DrawNetwork();
    });
}

} // namespace kelvane
