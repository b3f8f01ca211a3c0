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
class WalkPath;

// The explanation of a consultation: for every top conclusion what it came out as, and below
// it, recursively, the evidence that led there ("Because ..." / "Although ..."), with marks for
// defaults, overridden answers, decisive links and contradictions. Holds nothing but its
// knowledge base: every read of ReportItems builds the tree again from the current answers.
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

private:
    std::shared_ptr<ReportItem> addReportItem(const std::shared_ptr<Node>& node, const std::shared_ptr<Link>& linkToParent,
                                              bool conjunction, WalkPath& path);
    void appendEvidence(ReportItem& item, const std::shared_ptr<Link>& link, bool conjunction, WalkPath& path);
};

} // namespace kelvane
