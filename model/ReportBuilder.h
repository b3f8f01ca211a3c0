#pragma once

#include <QtGlobal>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kelvane {

class Link;
class Node;
class Report;
class ReportItem;

// Builds the lines of a report: a node's line, then the lines of its evidence below it,
// depth first, on a stack of its own (a chain of evidence can be thousands of nodes deep).
//
// The lines of a node reached through one link (with one conjunction switch) are the same
// wherever the link's holder is listed: they are built once and the item is shared. Only a
// branch that met a node already on its way (links read from a file that form a cycle, where
// the branch ends) depends on the way it was reached; such branches are built each time.
class ReportBuilder {
public:
    explicit ReportBuilder(Report& report) : m_report(report) {}

    // The line of `node` with everything below it; null when it cannot be built (the failure
    // is reported) or when the node is already on the way to it.
    std::shared_ptr<ReportItem> build(const std::shared_ptr<Node>& node, const std::shared_ptr<Link>& linkToParent,
                                      bool conjunction);

private:
    struct Key {
        const Node* node;
        const Link* link;
        bool conjunction;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept;
    };
    struct Evidence {
        std::shared_ptr<Node> node;
        std::shared_ptr<Link> link;
        bool conjunction;
    };
    // A line being built: its evidence, the next piece to enter, and whether a branch below
    // it met the way to it.
    struct Frame {
        Key key;
        std::shared_ptr<ReportItem> item;
        std::vector<Evidence> evidence;
        std::size_t next = 0;
        bool metPath = false;
    };
    // What entering a node gave when no frame was opened for it.
    struct Entered {
        bool opened = false;
        std::shared_ptr<ReportItem> item; // the finished line, or null
        bool metPath = false;             // the node was on the way already
    };

    Entered enter(const std::shared_ptr<Node>& node, const std::shared_ptr<Link>& linkToParent, bool conjunction);

    Report& m_report;
    std::unordered_map<Key, std::shared_ptr<ReportItem>, KeyHash> m_built;
    std::unordered_set<const Node*> m_path;
    std::vector<Frame> m_frames;
};

} // namespace kelvane
