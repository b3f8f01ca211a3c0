#include "model/AnswerReset.h"

#include "model/AncestorWalk.h"
#include "model/BlockMemory.h"
#include "model/Link.h"
#include "model/LinkForcing.h"
#include "model/NodePlaceTable.h"
#include "model/Node.h"
#include "model/PacedYield.h"
#include "model/PropagationSupport.h"
#include "model/TextLabel.h"
#include "model/clsControl.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <span>
#include <utility>

namespace kelvane {

namespace {

using NodePtr = std::shared_ptr<Node>;

bool isDegree(double value)
{
    return value >= 0 && value <= 1;
}

// A node whose answer, controls and answers the links' computation can read without failing.
bool isReadable(const Node& node)
{
    if (!isDegree(node.DOT))
        return false;
    for (const auto& control : node.Controls()) {
        if (!control)
            return false;
    }
    for (const auto& answer : node.Answers) {
        if (!answer)
            return false;
    }
    return true;
}

bool hasLive(const Collection<std::weak_ptr<Node>>& references)
{
    return std::any_of(references.begin(), references.end(), [](const auto& reference) { return !reference.expired(); });
}

// A node the run can reset: nothing but its own answer and its parents' links change, and no
// computation fails part-way (its evidence nodes are readable too: those among the nodes are
// checked as nodes, the others as they are met).
bool isTaken(const Node& node)
{
    if (node.AutoAnswer || hasLive(node.HigherLevelNodes) || !isReadable(node) || !isDegree(node.Default))
        return false;
    for (const auto& link : node.Links()) {
        if (!link || !link->ConnectionTo || !isDegree(link->WeightDeny) || !isDegree(link->Weight)
            || !isDegree(link->WeightAffirm))
            return false;
    }
    return true;
}

class ResetRun {
public:
    explicit ResetRun(const std::vector<NodePtr>& nodes)
        : m_nodes(nodes)
        , m_sizes(sizesOf(nodes))
        , m_memory(m_sizes.bytes)
        , m_tallyIndex(nodes.size(), m_memory.resource())
        , m_nodePlaces(m_memory.resource())
        , m_links(m_memory.resource())
        , m_tallies(m_memory.resource())
        , m_incoming(m_memory.resource())
        , m_parents(m_memory.resource())
        , m_ancestry(*this)
        , m_clearing(m_ancestry)
    {
    }

    // Checks the nodes and lays the run out in one pass over them: each node gets its tally, at
    // its own place among the nodes, with its state as evidence and its parents' places, and
    // every link of the nodes is tracked. False when the nodes are not ones the run takes.
    //
    // The nodes of a large document do not stay in the caches from one pass to the next, so the
    // run goes over them back and forth: this pass from the last node to the first, the reset
    // from the first, finding in the caches the nodes this pass left there, and the links' last
    // update from the last link again.
    bool prepare()
    {
        if (propagation::answersAutomaticallyForAll())
            return false;
        m_tallies.reserve(m_nodes.size());
        m_nodePlaces.reserve(m_nodes.size());
        m_links.reserve(m_sizes.links);
        m_parents.reserve(m_sizes.parents);
        for (const auto& node : m_nodes) {
            if (!node)
                return false;
            m_nodePlaces.push_back(tallyOf(*node));
        }
        for (std::size_t i = m_nodes.size(); i-- > 0;) {
            const Place place = m_nodePlaces[i];
            if (!isTaken(*m_nodes[i]))
                return false;
            if (!m_tallies[place].laidOut) { // a node listed again is laid out already
                noteState(place);
                if (!placeParents(place))
                    return false;
                m_tallies[place].laidOut = true;
            }
            if (!trackLinks(place))
                return false;
        }
        for (Place i = Place(m_links.size()); i-- > 0;)
            count(i, +1);
        groupIncoming();
        return true;
    }

    void run()
    {
        for (const Place node : m_nodePlaces) {
            reset(node);
            m_yield();
        }
        for (Place i = Place(m_links.size()); i-- > 0;)
            bringUpToDate(i);
    }

private:
    // Places among the tallies and the tracked links are 32 bits: what the run keeps for each
    // node and link is new memory, a few megabytes for the largest documents.
    using Place = NodePlaceTable<Node>::Place;

    struct TrackedLink {
        Link* link;
        Place holder;               // the tally of the node whose Links hold it
        Place evidenceTally;        // the tally of its evidence node
        std::uint64_t upToDate = 0; // the time up to which its value is written
    };
    struct Tally {
        Place firstIncoming = 0; // where its tracked links as evidence begin in m_incoming
        Place incomingCount = 0;
        Place firstParent = 0; // where its live parents' places begin in m_parents
        Place parentCount = 0;
        std::uint64_t calculated = 0;      // when it was last computed as a parent
        std::uint64_t cleared = 0;         // when its links were last cleared as a parent's
        int answeredEvidence = 0;          // its links whose evidence is answered
        int forcingTrue = 0;               // its counted links that force it true
        int forcingFalse = 0;
        // Its state as evidence, as the run last left it: the links' computation reads it here.
        double answer = 0;
        bool answered = false;
        bool informed = false; // enabled, and needing no more information
        bool irrelevant = false;
        bool noDefault = false;
        bool laidOut = false;              // its state and parents are taken
        bool resetting = false;            // on the path of the reset's walk
        bool clearing = false;             // on the path of the ancestor clearing's walk
    };

    // The ancestors as the run holds them, by their places, the two changes made the reset's
    // way. No node the run takes has live higher-level nodes.
    class Ancestry {
    public:
        using Member = Place;
        using Members = std::span<const Place>;

        explicit Ancestry(ResetRun& run) : m_run(run) {}

        bool enter(Place node) { return !std::exchange(m_run.m_tallies[node].clearing, true); }
        void leave(Place node) { m_run.m_tallies[node].clearing = false; }
        Members parents(Place node) const { return m_run.nodeAt(node).Enabled() ? m_run.parentsOf(node) : Members {}; }
        static Members highers(Place) { return {}; }
        bool answered(Place node) const { return m_run.m_tallies[node].answered; }
        void unanswer(Place node) { m_run.setAnswered(node, false); }
        void clearLinks(Place parent) { m_run.m_tallies[parent].cleared = ++m_run.m_clock; }
        // Nothing the run does can fail.
        template <class Step>
        static bool attempt(Step&& step)
        {
            step();
            return true;
        }

    private:
        ResetRun& m_run;
    };

    // A node on the path of the reset's walk for the life of the step; a node met again
    // along a cycle is not entered again.
    class PathStep {
    public:
        explicit PathStep(Tally& tally) : m_tally(tally), m_entered(!std::exchange(tally.resetting, true)) {}
        ~PathStep()
        {
            if (m_entered)
                m_tally.resetting = false;
        }
        PathStep(const PathStep&) = delete;
        PathStep& operator=(const PathStep&) = delete;

        bool entered() const { return m_entered; }

    private:
        Tally& m_tally;
        bool m_entered;
    };

    // What the run keeps, counted before it starts: its memory is taken at once, in one block
    // (memory taken anew costs more than the run itself).
    struct Sizes {
        std::size_t links = 0;
        std::size_t parents = 0;
        std::size_t bytes = 0;
    };

    static Sizes sizesOf(const std::vector<NodePtr>& nodes)
    {
        Sizes sizes;
        for (const auto& node : nodes) {
            if (node) {
                sizes.links += std::size_t(node->Links().Count());
                sizes.parents += std::size_t(node->Parents().Count());
            }
        }
        const std::size_t containers = 6; // each may start at a fresh alignment
        sizes.bytes = NodePlaceTable<Node>::bytesFor(nodes.size()) + nodes.size() * (sizeof(Tally) + sizeof(Place))
                      + sizes.links * (sizeof(TrackedLink) + sizeof(Place)) + sizes.parents * sizeof(Place)
                      + containers * alignof(std::max_align_t);
        return sizes;
    }

    Node& nodeAt(Place place) const { return m_tallyIndex.nodeAt(place); }

    // Takes the node's state as evidence from the node.
    void noteState(Place place)
    {
        Tally& tally = m_tallies[place];
        const Node& node = nodeAt(place);
        tally.answer = node.Answer();
        tally.answered = node.Answered;
        tally.informed = node.Enabled() && !node.NeedInfo();
        tally.irrelevant = node.Irrelevant();
        tally.noDefault = node.NoDefault;
    }

    bool counted(const TrackedLink& tracked) const
    {
        const Tally& evidence = m_tallies[tracked.evidenceTally];
        return tracked.link->Active && evidence.informed && evidence.answered;
    }

    double valueOf(const TrackedLink& tracked) const
    {
        const Tally& evidence = m_tallies[tracked.evidenceTally];
        return evidence.irrelevant ? 0.5 : propagation::linkDegreeOfTruth(*tracked.link, evidence.answer);
    }

    // Adds (+1) or takes away (-1) the link's part in its holder's counts, as its evidence is now.
    void count(Place index, int sign)
    {
        const TrackedLink& tracked = m_links[index];
        Tally& holder = m_tallies[tracked.holder];
        if (m_tallies[tracked.evidenceTally].answered)
            holder.answeredEvidence += sign;
        if (!counted(tracked))
            return;
        switch (forcingOf(*tracked.link, valueOf(tracked))) {
        case LinkForcing::True: holder.forcingTrue += sign; break;
        case LinkForcing::False: holder.forcingFalse += sign; break;
        case LinkForcing::None: break;
        }
    }

    // Writes what the last step due since the link was brought up to date wrote, its evidence
    // being as it is now all that time.
    void bringUpToDate(Place index)
    {
        TrackedLink& tracked = m_links[index];
        const Tally& holder = m_tallies[tracked.holder];
        if (counted(tracked)) {
            if (holder.calculated > tracked.upToDate) {
                tracked.link->DOT = valueOf(tracked);
                // Computing names a forcing evidence node in its clause (its name is made then).
                if (forcingOf(*tracked.link) != LinkForcing::None)
                    nodeAt(tracked.evidenceTally).Name();
            }
        } else if (const Tally& evidence = m_tallies[tracked.evidenceTally];
                   !evidence.answered && evidence.noDefault && holder.cleared > tracked.upToDate) {
            tracked.link->DOT = 0.5;
        }
        tracked.upToDate = m_clock;
    }

    // The node's live parents, by their places, side by side with the other nodes' parents;
    // false when one of them is not among the nodes. Nothing the reset does changes which nodes
    // are parents of which, and the nodes keep their parents alive.
    bool placeParents(Place node)
    {
        Tally& tally = m_tallies[node];
        tally.firstParent = Place(m_parents.size());
        for (const auto& reference : nodeAt(node).Parents()) {
            const auto parent = reference.lock();
            if (!parent)
                continue;
            const Place* found = m_tallyIndex.find(*parent);
            if (!found)
                return false;
            m_parents.push_back(*found);
        }
        tally.parentCount = Place(m_parents.size()) - tally.firstParent;
        return true;
    }

    std::span<const Place> parentsOf(Place node) const
    {
        const Tally& tally = m_tallies[node];
        return std::span<const Place>(m_parents).subspan(tally.firstParent, tally.parentCount);
    }

    // Tracks the links of a node; false when an evidence node that is not among the
    // nodes cannot be read.
    bool trackLinks(Place holder)
    {
        for (const auto& link : nodeAt(holder).Links()) {
            Node& evidence = *link->ConnectionTo;
            const auto tallies = m_tallies.size();
            const Place place = tallyOf(evidence);
            if (m_tallies.size() > tallies) {
                if (!isReadable(evidence))
                    return false;
                noteState(place);
            }
            m_links.push_back({link.get(), holder, place});
        }
        return true;
    }

    // Lays the tracked links out again by their evidence, each evidence node's side by side.
    void groupIncoming()
    {
        for (const TrackedLink& tracked : m_links)
            ++m_tallies[tracked.evidenceTally].incomingCount;
        Place next = 0;
        for (Tally& tally : m_tallies) {
            tally.firstIncoming = next;
            next += tally.incomingCount;
            tally.incomingCount = 0;
        }
        m_incoming.resize(m_links.size());
        for (Place i = 0; i < m_links.size(); ++i) {
            Tally& evidence = m_tallies[m_links[i].evidenceTally];
            m_incoming[evidence.firstIncoming + evidence.incomingCount++] = i;
        }
    }

    // The tracked links whose evidence the node is.
    std::span<const Place> incomingOf(Place evidence) const
    {
        const Tally& tally = m_tallies[evidence];
        return std::span<const Place>(m_incoming).subspan(tally.firstIncoming, tally.incomingCount);
    }

    // The tally of a node, made when first needed while the run is set up; tallies are reached
    // by their place, kept side by side.
    Place tallyOf(Node& node)
    {
        const Place place = m_tallyIndex.placeOf(node);
        if (place == m_tallies.size())
            m_tallies.emplace_back();
        return place;
    }

    // The steps of resetting, as Node::Reset takes them.

    // A parent computed: its links' values are noted as due, its contradiction is known.
    void calculate(Place parent)
    {
        Tally& tally = m_tallies[parent];
        tally.calculated = ++m_clock;
        nodeAt(parent).Contradiction = tally.forcingTrue > 0 && tally.forcingFalse > 0;
    }

    void setAnswered(Place node, bool answered)
    {
        changing(node);
        nodeAt(node).Answered = answered;
        changed(node);
    }

    void changing(Place evidence)
    {
        for (const Place index : incomingOf(evidence)) {
            bringUpToDate(index);
            count(index, -1);
        }
    }

    void changed(Place evidence)
    {
        noteState(evidence);
        for (const Place index : incomingOf(evidence))
            count(index, +1);
    }

    void updateParents(Place node)
    {
        if (!nodeAt(node).Enabled())
            return;
        for (const Place parent : parentsOf(node))
            calculate(parent);
    }

    void reset(Place place)
    {
        const PathStep step(m_tallies[place]);
        if (!step.entered())
            return;
        Node& node = nodeAt(place);
        changing(place);
        for (const auto& control : node.Controls())
            control->Value = control->Default;
        node.setOverridden(false);
        node.DOT = node.NoDefault ? 0.5 : node.Default;
        node.Answered = true;
        changed(place);
        m_clearing.from(place);
        updateParents(place);
        setAnswered(place, false);
        updateParents(place);
        for (const Place parent : parentsOf(place)) {
            if (m_tallies[parent].answered && m_tallies[parent].answeredEvidence == 0)
                reset(parent);
        }
        if (!node.Justification)
            node.Justification = std::make_shared<TextLabel>();
        node.Justification->setText(QString());
    }

    const std::vector<NodePtr>& m_nodes;
    const Sizes m_sizes;
    BlockMemory m_memory;
    NodePlaceTable<Node> m_tallyIndex;
    std::pmr::vector<Place> m_nodePlaces; // the tally of each of the nodes, in their order
    std::pmr::vector<TrackedLink> m_links;
    std::pmr::vector<Tally> m_tallies;    // made while the run is set up, never after
    std::pmr::vector<Place> m_incoming;   // the tracked links, grouped by their evidence's tally
    std::pmr::vector<Place> m_parents;    // the parents' tallies, grouped by their child's tally
    std::uint64_t m_clock = 0;
    Ancestry m_ancestry;
    AncestorWalk<Ancestry> m_clearing; // one walk after another, each leaving it empty
    PacedYield m_yield;
};

} // namespace

bool AnswerReset::resetAll(const std::vector<std::shared_ptr<Node>>& nodes)
{
    ResetRun run(nodes);
    if (!run.prepare())
        return false;
    run.run();
    return true;
}

} // namespace kelvane
