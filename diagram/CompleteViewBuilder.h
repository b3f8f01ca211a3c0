#pragma once

#include <QtGlobal>
#include <memory>
#include <vector>

namespace kelvane {

class Layer;
class Link;
class Node;
class clsNetwork;

// Fills the complete view: the nodes of every level in one network. Each enabled node that is
// not the entry node of a lower-level network is copied, sharing its name label and answer
// labels; a node that opens a lower-level network also carries its entry node's links and
// takes its identity; links are joined again across levels by GUID, and nodes that stand for
// the same node are merged.
class CompleteViewBuilder {
public:
    explicit CompleteViewBuilder(clsNetwork& view) : m_view(view) {}

    // Takes the networks from the last to the first; each of their layers becomes a layer of
    // the view.
    void build(const std::vector<std::shared_ptr<clsNetwork>>& networks);

private:
    std::shared_ptr<Node> copyOf(const std::shared_ptr<Node>& source, const std::shared_ptr<Layer>& layer);
    // A copy of `link` held by `holder`, pointing for now to a stand-in with its far end's GUID.
    void copyLink(const std::shared_ptr<Node>& holder, const Link& link);
    void rejoinLinks();
    void takeEntryIdentities();
    void mergeNodesStandingForOneNode();

    clsNetwork& m_view;
    qint32 m_nodeCounter = 0;
};

} // namespace kelvane
