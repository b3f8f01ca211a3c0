#pragma once

#include "model/ReportItem.h"
#include "platform/Collection.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace kelvane {

class AbstractKnowledgeBase;
class Link;
class Node;

// The explanation of a consultation: for every top conclusion what it came out as, and below
// it, recursively, the evidence that led there ("Because ..." / "Although ..."), with marks for
// defaults, overridden answers, decisive links and contradictions. Holds nothing but its
// knowledge base: every read of ReportItems builds the tree again from the current answers.
//
// A node that is evidence for several conclusions is listed under each of them; the lines of
// one node reached through one link are one item, shared by every place it is listed, so a
// tree is as large as its network however many paths run through it.
class Report {
public:
    // The knowledge base reported on; set by its maker.
    std::weak_ptr<AbstractKnowledgeBase> KnowledgeBase;

    // The network's title, then " - " and the scenario name when there is one; empty without
    // a knowledge base.
    QString Name() const;

    // One line for each node without parents, nodes of the highest layer first.
    Collection<std::shared_ptr<ReportItem>> ReportItems();

    // The line of a node with the lines of its evidence below it (null on failure). A node met
    // again below itself (links read from a file that form a cycle) is not listed there again.
    std::shared_ptr<ReportItem> AddReportItem(const std::shared_ptr<Node>& objNode,
                                              const std::shared_ptr<Link>& objLinkToParent, bool bConjunction);

    // The line of one node, without icon value and without the lines below it.
    std::shared_ptr<ReportItem> GetNodeReportItem(const std::shared_ptr<Node>& objNode,
                                                  const std::shared_ptr<Link>& objLinkToParent, bool bConjunction);

    // The image index, 0 to 10, for a degree of truth; 5 for exactly 0.5 only.
    static qint16 GetNodeIcon(double dblDOT);

};

} // namespace kelvane
