#include "model/AnswerReset.h"

#include "model/AncestorClearing.h"
#include "model/Link.h"
#include "model/LinkForcing.h"
#include "model/Node.h"
#include "model/PacedYield.h"
#include "model/PropagationSupport.h"
#include "model/TextLabel.h"
#include "model/WalkPath.h"
#include "model/clsControl.h"

#include <QHash>
#include <algorithm>
#include <cstdint>
#include <span>

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

class ResetRun {
public:
    explicit ResetRun(const std::vector<NodePtr>& nodes) : m_nodes(nodes), m_clearing(*this) {}

    // Also gives every node its tally, at its own place among the nodes.
    bool accepts()
    {
        if (propagation::answersAutomaticallyForAll())
            return false;
        m_tallies.reserve(m_nodes.size());
        m_tallyIndex.reserve(m_nodes.size());
        for (const auto& node : m_nodes) {
            if (!node)
                return false;
            tallyOf(*node);
        }
        for (const auto& node : m_nodes) {
            if (node->AutoAnswer || hasLive(node->HigherLevelNodes) || !isReadable(*node) || !isDegree(node->Default))
                return false;
            for (const auto& reference : node->Parents()) {
                const auto parent = reference.lock();
                if (parent && !m_tallyIndex.contains(parent.get()))
                    return false;
            }
            for (const auto& link : node->Links()) {
                if (!link || !link->ConnectionTo || !isDegree(link->WeightDeny) || !isDegree(link->Weight)
                    || !isDegree(link->WeightAffirm) || !isReadable(*link->ConnectionTo))
                    return false;
            }
        }
        return true;
    }

    void run()
    {
        trackLinks();
        for (Place i = 0; i < m_links.size(); ++i)
            count(i, +1);
        for (const auto& node : m_nodes) {
            reset(*node);
            m_yield();
        }
        for (Place i = 0; i < m_links.size(); ++i)
            bringUpToDate(i);
    }

    // The steps of resetting, as Node::Reset takes them.

    // A parent computed: its links' values are noted as due, its contradiction is known.
    void calculate(Node& parent)
    {
        Tally& tally = m_tallies[tallyOf(parent)];
        tally.calculated = ++m_clock;
        parent.Contradiction = tally.forcingTrue > 0 && tally.forcingFalse > 0;
    }

    // A parent's links to unanswered evidence without a default made undecided, as due.
    void clear(Node& parent) { m_tallies[tallyOf(parent)].cleared = ++m_clock; }

    void setAnswered(Node& node, bool answered)
    {
        changing(node);
        node.Answered = answered;
        changed(node);
    }

private:
    // Places among the tallies and the tracked links are 32 bits: what the run keeps for each
    // node and link is new memory, a few megabytes for the largest documents.
    using Place = std::uint32_t;

    struct TrackedLink {
        Link* link;
        Node* evidence;
        Place holder;               // the tally of the node whose Links hold it
        Place evidenceTally;        // the tally of its evidence node
        std::uint64_t upToDate = 0; // the time up to which its value is written
    };
    struct Tally {
        Place firstIncoming = 0; // where its tracked links as evidence begin in m_incoming
        Place incomingCount = 0;
        std::uint64_t calculated = 0;      // when it was last computed as a parent
        std::uint64_t cleared = 0;         // when its links were last cleared as a parent's
        int answeredEvidence = 0;          // its links whose evidence is answered
        int forcingTrue = 0;               // its counted links that force it true
        int forcingFalse = 0;
    };

    // The unanswering of ancestors, with its two changes made the reset's way.
    class Clearing : public AncestorClearing {
    public:
        explicit Clearing(ResetRun& run) : m_run(run) {}

    protected:
        void unanswer(Node& node) override { m_run.setAnswered(node, false); }
        void clearLinks(Node& parent) override { m_run.clear(parent); }

    private:
        ResetRun& m_run;
    };

    static bool counted(const TrackedLink& tracked)
    {
        const Node& evidence = *tracked.evidence;
        return tracked.link->Active && evidence.Enabled() && evidence.Answered && !evidence.NeedInfo();
    }

    static double valueOf(const TrackedLink& tracked)
    {
        const Node& evidence = *tracked.evidence;
        return evidence.Irrelevant() ? 0.5 : propagation::linkDegreeOfTruth(*tracked.link, evidence.Answer());
    }

    // Adds (+1) or takes away (-1) the link's part in its holder's counts, as its evidence is now.
    void count(Place index, int sign)
    {
        const TrackedLink& tracked = m_links[index];
        Tally& holder = m_tallies[tracked.holder];
        if (tracked.evidence->Answered)
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
                    tracked.evidence->Name();
            }
        } else if (!tracked.evidence->Answered && tracked.evidence->NoDefault && holder.cleared > tracked.upToDate) {
            tracked.link->DOT = 0.5;
        }
        tracked.upToDate = m_clock;
    }

    // Every link of the nodes, in order, with the links of each evidence node side by side.
    void trackLinks()
    {
        std::size_t links = 0;
        for (const auto& node : m_nodes)
            links += std::size_t(node->Links().Count());
        m_links.reserve(links);
        for (const auto& node : m_nodes) {
            const Place holder = tallyOf(*node);
            for (const auto& link : node->Links())
                m_links.push_back({link.get(), link->ConnectionTo.get(), holder, tallyOf(*link->ConnectionTo)});
        }
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

    // The tracked links whose evidence the node is, in the order of the nodes that hold them.
    std::span<const Place> incomingOf(const Node& evidence)
    {
        const Tally& tally = m_tallies[tallyOf(evidence)];
        return std::span<const Place>(m_incoming).subspan(tally.firstIncoming, tally.incomingCount);
    }

    // The tally of a node, made when first needed; tallies are reached by their place, kept
    // side by side.
    Place tallyOf(const Node& node)
    {
        if (const auto found = m_tallyIndex.constFind(&node); found != m_tallyIndex.constEnd())
            return *found;
        const auto place = Place(m_tallies.size());
        m_tallyIndex.insert(&node, place);
        m_tallies.emplace_back();
        return place;
    }

    void changing(Node& evidence)
    {
        for (const Place index : incomingOf(evidence)) {
            bringUpToDate(index);
            count(index, -1);
        }
    }

    void changed(Node& evidence)
    {
        for (const Place index : incomingOf(evidence))
            count(index, +1);
    }

    void updateParents(Node& node)
    {
        if (!node.Enabled())
            return;
        for (const auto& reference : node.Parents()) {
            if (const auto parent = reference.lock())
                calculate(*parent);
        }
    }

    // Nothing the reset does changes which nodes are parents of which: their lists are gone
    // over as they are.
    void reset(Node& node)
    {
        const WalkPath::Step step(m_path, &node);
        if (!step.entered())
            return;
        changing(node);
        for (const auto& control : node.Controls())
            control->Value = control->Default;
        node.setOverridden(false);
        node.DOT = node.NoDefault ? 0.5 : node.Default;
        node.Answered = true;
        changed(node);
        m_clearing.from(node.shared_from_this());
        updateParents(node);
        setAnswered(node, false);
        updateParents(node);
        for (const auto& reference : node.Parents()) {
            const auto parent = reference.lock();
            if (parent && parent->Answered && m_tallies[tallyOf(*parent)].answeredEvidence == 0)
                reset(*parent);
        }
        if (!node.Justification)
            node.Justification = std::make_shared<TextLabel>();
        node.Justification->setText(QString());
    }

    const std::vector<NodePtr>& m_nodes;
    std::vector<TrackedLink> m_links;
    std::vector<Tally> m_tallies;
    std::vector<Place> m_incoming; // the tracked links, grouped by their evidence's tally
    QHash<const Node*, Place> m_tallyIndex; // open addressing: no allocation per node
    std::uint64_t m_clock = 0;
    WalkPath m_path;
    Clearing m_clearing; // one walk after another, each leaving it empty
    PacedYield m_yield;
};

} // namespace

bool AnswerReset::resetAll(const std::vector<std::shared_ptr<Node>>& nodes)
{
    ResetRun run(nodes);
    if (!run.accepts())
        return false;
    run.run();
    return true;
}

} // namespace kelvane
