#include "model/basKelva.h"

#include "model/AncestorClearing.h"
#include "model/AnswerCascade.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/LinkForcing.h"
#include "model/Node.h"
#include "model/NodePlaceTable.h"
#include "model/ReadAhead.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/WalkPath.h"
#include "model/PacedYield.h"
#include "model/PropagationSupport.h"
#include "platform/Conversions.h"
#include "platform/UiServices.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace basKelva {

using kelvane::Link;
using kelvane::LinkForcing;
using kelvane::Node;
using kelvane::NodePlaceTable;
using kelvane::TextLabel;
using kelvane::WalkPath;
using kelvane::propagation::linkDegreeOfTruth;
using kelvane::propagation::liveNodes;
using kelvane::requireObject;
using kelvane::conv::checkFinite;

namespace {

constexpr const char* Module = "basKelva";

// The nodes a walk's table of met nodes is first sized for; it grows when more come.
constexpr std::size_t kFewNodes = 16;

// Stores the value where it differs (bit for bit) from what is there: a recomputation mostly
// finds the values as they were, and storing one unchanged would still mark its cache line to
// be written back to memory.
template <class T>
void storeChanged(T& place, const T& value)
{
    if (std::memcmp(&place, &value, sizeof(T)) != 0)
        place = value;
}

// What computing a node reads of a link: the evidence node, the weights, the degree of truth
// and the flags, which stand together at its start.
void readAheadForComputing(const Link& link)
{
    kelvane::readAhead(&link.ConnectionTo);
    kelvane::readAhead(&link.Active);
}

// What computing a node reads of a link's evidence node.
void readAheadEvidence(const Link& link)
{
    if (const Node* evidence = link.ConnectionTo.get()) {
        kelvane::readAhead(&evidence->Answered);
        kelvane::readAhead(&evidence->Controls());
    }
}

// Whether the reference is to the node held, seen without taking a reference to it.
bool sameOwner(const std::weak_ptr<Node>& reference, const NodePtr& held)
{
    return held && !reference.owner_before(held) && !held.owner_before(reference);
}

// Whether the node is met for the first time: the table then gives it the next place.
bool firstMeeting(NodePlaceTable<Node>& met, Node& node)
{
    const std::size_t before = met.size();
    met.placeOf(node);
    return met.size() != before;
}

QString forcingClause(const NodePtr& evidence, double answer)
{
    return evidence->Name()->Text() + QStringLiteral(" is ") + QStringLiteral(" always ") + GetAnswer(evidence, answer);
}

// The literal walk of the recursive definition. It carries the nodes it stands on, so that a
// cycle read from a file ends the walk instead of recursing without end; on acyclic data
// nothing is ever skipped.

void propagateEveryPath(const NodePtr& node, WalkPath& path);

void autoAnswerEveryPath(const NodePtr& node, WalkPath& path)
{
    kelvane::trappedVoid(Module, "AutoAnswerParents", [&] {
        const auto& target = requireObject(node);
        if (!target->Enabled())
            return;
        for (const auto& parent : liveNodes(target->Parents())) {
            if (kelvane::propagation::answersAutomatically(*parent)) {
                // The answer setter's work, on the same walk: store, then propagate.
                parent->DOT = CalculateAnswer(parent, true);
                propagateEveryPath(parent, path);
                parent->Answered = true;
            }
            platform::ui().yield();
        }
    });
}

void propagateEveryPath(const NodePtr& node, WalkPath& path)
{
    kelvane::trappedVoid(Module, "PropogateAnswer", [&] {
        const auto& target = requireObject(node);
        const WalkPath::Step step(path, target.get());
        if (!step.entered())
            return;
        target->Answered = true;
        UnanswerParents(target);
        UpdateDOTParents(target);
        if (!target->Irrelevant())
            autoAnswerEveryPath(target, path);
        for (const auto& higher : liveNodes(target->HigherLevelNodes)) {
            higher->Answered = true;
            higher->DOT = target->Answer();
            propagateEveryPath(higher, path);
        }
    });
}

// The place of a value on a node's answer scale: one answer, or the two answers it lies
// halfway between.
struct AnswerChoice {
    std::shared_ptr<TextLabel> answer;
    std::shared_ptr<TextLabel> upper;
    std::shared_ptr<TextLabel> lower;

    bool isBetween() const { return upper && lower; }
    QString betweenText() const
    {
        return QStringLiteral("Between ") + upper->Text() + QStringLiteral(" and ") + lower->Text();
    }
};

AnswerChoice chooseAnswer(const NodePtr& node, double value)
{
    const auto& answers = requireObject(node)->Answers;
    checkFinite(value);
    const qsizetype count = answers.Count();
    if (count == 0)
        return {};

    struct ScalePoint {
        double value;
        std::shared_ptr<TextLabel> answer;
    };
    std::optional<ScalePoint> upper;
    std::optional<ScalePoint> lower;
    const double thousandths = std::floor(value * 1000);
    // Point i of N is (i - 1) / (N - 1) and belongs to answer N + 1 - i; one answer stands at 0.5.
    for (qsizetype i = 1; i <= count; ++i) {
        const double point = count == 1 ? 0.5 : static_cast<double>(i - 1) / static_cast<double>(count - 1);
        const auto& answer = requireObject(answers.Item(count + 1 - i));
        if (std::floor(point * 1000) == thousandths)
            return {answer, nullptr, nullptr};
        if (point >= value && !upper)
            upper = ScalePoint {point, answer};
        if (point <= value)
            lower = ScalePoint {point, answer};
    }
    if (!upper || !lower)
        return {upper ? upper->answer : lower->answer, nullptr, nullptr};
    const double toLower = std::abs(lower->value - value);
    const double toUpper = std::abs(upper->value - value);
    if (std::abs(toLower - toUpper) < 0.001)
        return {nullptr, upper->answer, lower->answer};
    return {toLower < toUpper ? lower->answer : upper->answer, nullptr, nullptr};
}

// The body of CalculateAnswer, for a node its caller holds.
double answerFromLinks(Node& target, bool Quiet)
{
    double affirm = 1; // A: product over the supporting links
    double deny = 1;   // D: product over the opposing links
    bool firstAffirm = true;
    bool firstDeny = true;
    bool forcedTrue = false;
    bool forcedFalse = false;
    QString trueClause;
    QString falseClause;

    // The links as they stand, by place, the count read again at each: nothing here changes
    // them, but a failure reported while a forcing answer is put into words runs the message
    // loop in debug mode, and its handlers may.
    const auto& links = target.Links();
    for (qsizetype place = 1; place <= links.Count(); ++place) {
        kelvane::readAheadOf(links, place, readAheadForComputing, readAheadEvidence);
        Link& link = *requireObject(links.Item(place).get());
        if (!link.Active)
            continue;
        const Node& evidence = *requireObject(link.ConnectionTo.get());
        if (!evidence.Enabled() || !evidence.Answered || evidence.NeedInfo())
            continue;
        const double answer = evidence.Answer();

        const double dot = checkFinite(evidence.Irrelevant() ? 0.5 : linkDegreeOfTruth(link, answer));
        storeChanged(link.DOT, dot);

        switch (kelvane::forcingOf(link, dot)) {
        case LinkForcing::True:
            forcedTrue = true;
            trueClause = forcingClause(NodePtr(link.ConnectionTo), answer);
            break;
        case LinkForcing::False:
            forcedFalse = true;
            falseClause = forcingClause(NodePtr(link.ConnectionTo), answer);
            break;
        case LinkForcing::None:
            break;
        }

        if (dot > 0.5) {
            affirm = affirm * (1 - dot);
            if (firstAffirm)
                firstAffirm = false;
            else
                affirm = 2 * affirm;
            checkFinite(affirm);
        } else if (dot < 0.5) {
            deny = deny * dot;
            if (firstDeny)
                firstDeny = false;
            else
                deny = 2 * deny;
            checkFinite(deny);
        }
    }

    storeChanged(target.Contradiction, false);
    if (forcedTrue && forcedFalse) {
        if (!Quiet) {
            platform::ui().messageBox(QStringLiteral("There is a contradiction because ") + trueClause
                                          + QStringLiteral(" and ") + falseClause,
                                      platform::msgbox::OKOnly | platform::msgbox::Information,
                                      platform::applicationTitle());
        }
        target.Contradiction = true;
        return 0.5;
    }
    if (forcedTrue)
        return 1.0;
    if (forcedFalse)
        return 0.0;
    if (affirm != 1 && deny != 1)
        return checkFinite((1 - affirm) - (0.5 - deny));
    if (deny != 1)
        return deny;
    if (affirm != 1)
        return 1 - affirm;
    return 0.5;
}

// CalculateAnswer for a node its caller holds, or one without links (computing it runs no
// handlers).
double calculateHeld(Node& target, bool Quiet)
{
    return kelvane::trapped(Module, "CalculateAnswer", 0.5, [&] { return answerFromLinks(target, Quiet); });
}

} // namespace

double CalculateAnswer(const NodePtr& node, bool Quiet)
{
    return kelvane::trapped(Module, "CalculateAnswer", 0.5, [&] {
        // Held while it is computed: showing a contradiction runs the message loop, whose
        // handlers may let go of the node.
        const NodePtr target = requireObject(node);
        return answerFromLinks(*target, Quiet);
    });
}

void PropogateAnswer(const NodePtr& node)
{
    kelvane::trappedVoid(Module, "PropogateAnswer", [&] {
        kelvane::AnswerCascade cascade;
        if (cascade.plan(node, false))
            cascade.run();
        else
            PropogateAnswerAlongEveryPath(node);
    });
}

void PropogateAnswerAlongEveryPath(const NodePtr& node)
{
    WalkPath path;
    propagateEveryPath(node, path);
}

void UnanswerParents(const NodePtr& node)
{
    kelvane::AncestorClearing().from(node);
}

void UpdateDOTParents(const NodePtr& node)
{
    kelvane::trappedVoid(Module, "UpdateDOTParents", [&] {
        const auto& target = requireObject(node);
        if (!target->Enabled())
            return;
        for (const auto& parent : liveNodes(target->Parents())) {
            CalculateAnswer(parent, true);
            platform::ui().yield();
        }
    });
}

void UpdateDOTParents(const kelvane::Collection<NodePtr>& nodes)
{
    // Computing a parent writes its own links and contradiction from the answers of its
    // evidence, which this pass leaves as they are: whichever of the nodes asks, the parent
    // comes out the same, so a parent shared by many of them is computed once.
    NodePlaceTable<Node> computed(kFewNodes);
    std::vector<NodePtr> due; // the parents of one node not computed yet, held while they are
    NodePtr lastMet; // the parent met last: most nodes share it with the one before
    kelvane::PacedYield yield;
    // By place, the count read again at each: handlers run during a yield may change the nodes.
    for (qsizetype place = 1; place <= nodes.Count(); ++place) {
        due.clear();
        kelvane::readAheadOf(
            nodes, place,
            [](const Node& node) {
                kelvane::readAhead(&node.Disabled);
                kelvane::readAhead(&node.Parents());
            },
            [](const Node& node) {
                if (!node.Parents().isEmpty())
                    kelvane::readAhead(&*node.Parents().begin());
            });
        kelvane::trappedVoid(Module, "UpdateDOTParents", [&] {
            // Nothing runs handlers until its parents are read: the node is not held.
            const Node& node = *requireObject(nodes.Item(place).get());
            if (!node.Enabled())
                return;
            for (const auto& reference : node.Parents()) {
                if (sameOwner(reference, lastMet))
                    continue;
                auto parent = reference.lock();
                if (!parent)
                    continue;
                lastMet = parent;
                if (firstMeeting(computed, *parent))
                    due.push_back(std::move(parent));
            }
            for (const auto& parent : due) {
                calculateHeld(*parent, true);
                yield();
            }
        });
    }
    platform::ui().yield();
}

void AutoAnswerParents(const NodePtr& node)
{
    kelvane::trappedVoid(Module, "AutoAnswerParents", [&] {
        kelvane::AnswerCascade cascade;
        if (cascade.plan(node, true)) {
            cascade.run();
        } else {
            WalkPath path;
            autoAnswerEveryPath(node, path);
        }
    });
}

namespace {

// Depth first in link order, each node once (a node reached along several paths, or from
// several starting nodes, is the same node: computing it again would give the same values,
// since computing a node writes only its own links and contradiction), on a stack of its own.
// A node without links is computed wherever it is reached rather than remembered: that writes
// its contradiction (none) again, and costs less than remembering the many such nodes under a
// wide node.
class ChildrenWalk {
public:
    void from(const NodePtr& start)
    {
        enter(start);
        while (!m_path.empty()) {
            Step& step = m_path.back();
            // By place, the count read again at each: a failure reported on the way runs the
            // message loop in debug mode, and its handlers may change the links.
            const auto& links = step.node->Links();
            if (step.next >= links.Count()) {
                m_path.pop_back();
                continue;
            }
            kelvane::readAheadOf(
                links, step.next + 1, [](const Link& link) { kelvane::readAhead(&link.ConnectionTo); },
                [](const Link& link) {
                    if (const Node* reached = link.ConnectionTo.get()) {
                        kelvane::readAhead(&reached->Contradiction);
                        kelvane::readAhead(&reached->Links());
                    }
                });
            const Link* link = links.Item(++step.next).get();
            if (kelvane::trappedVoid(Module, "UpdateDOTChildren", [&] { requireObject(link); }))
                enter(link->ConnectionTo); // invalidates `step`
            else
                m_path.pop_back();
        }
    }

private:
    struct Step {
        NodePtr node;
        qsizetype next = 0; // the place of the last link followed
    };

    void enter(const NodePtr& reached)
    {
        if (reached && reached->Links().isEmpty()) {
            calculateHeld(*reached, true);
            return;
        }
        kelvane::trappedVoid(Module, "UpdateDOTChildren", [&] {
            if (reached && !firstMeeting(m_visited, *reached))
                return;
            const NodePtr node = reached; // held from here: the link it was reached by may go
            CalculateAnswer(node, true);
            m_path.push_back({requireObject(node), 0});
        });
    }

    std::vector<Step> m_path;
    NodePlaceTable<Node> m_visited {kFewNodes};
};

} // namespace

void UpdateDOTChildren(const NodePtr& node)
{
    ChildrenWalk().from(node);
}

void UpdateDOTChildren(const kelvane::Collection<NodePtr>& nodes)
{
    ChildrenWalk walk;
    // By place: nothing on the walk changes the nodes, but handlers run in debug mode may.
    for (qsizetype place = 1; place <= nodes.Count(); ++place)
        walk.from(nodes.Item(place));
}

QString GetAnswer(const NodePtr& node, double value)
{
    return kelvane::trapped(Module, "GetAnswer", QString(), [&] {
        const AnswerChoice choice = chooseAnswer(node, value);
        if (choice.isBetween())
            return choice.betweenText();
        return choice.answer ? choice.answer->Text() : QString();
    });
}

std::shared_ptr<TextLabel> GetAnswerObject(const NodePtr& node, double value)
{
    return kelvane::trapped(Module, "GetAnswerObject", std::shared_ptr<TextLabel>(), [&] {
        const AnswerChoice choice = chooseAnswer(node, value);
        if (choice.isBetween()) {
            auto label = std::make_shared<TextLabel>();
            label->setText(choice.betweenText());
            return label;
        }
        return choice.answer;
    });
}

} // namespace basKelva
