#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

namespace kelvane {

class Node;

// A weighted link from a conclusion node (which holds it in its Links) to an evidence
// node. For an evidence answer a the link's degree of truth runs through (0, 1 - WeightDeny),
// (0.5, Weight) and (1, WeightAffirm); the "always" flags can make it decisive.
// What the inference reads of a link (the evidence node, the weights, the degree of truth and
// the flags) stands together at its start, and a walk over many links reads one or two cache
// lines of each; the flags and the list row fill the place after the weights that would
// otherwise be padding.
class Link {
public:
    std::shared_ptr<Node> ConnectionTo;  // the evidence node
    double WeightDeny = 0.5;
    double Weight = 0.5;
    double WeightAffirm = 0.5;
    double DOT = 0.5; // written by the inference
    bool AlwaysDeny = false;
    bool AlwaysAffirm = false;
    bool Active = true;
    // Program-internal: row in the consultation's preconditions list.
    qint16 ListIndex = 0;

    std::weak_ptr<Node> ConnectionFrom;  // the conclusion node that holds the link
    QString TooltipText;

    // Program-internal: the evidence node's GUID as read from a document until the reader
    // connects the link.
    QString NodeGUIDRef;

    // Joins `from` to its evidence node `to` with a copy of this link's weights, flags,
    // degree of truth and tooltip: the copy goes to `from`'s Links and `from` to `to`'s
    // Parents, as the network's own AddLink keeps them. Returns the copy.
    std::shared_ptr<Link> copyBetween(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to) const;
};

} // namespace kelvane
