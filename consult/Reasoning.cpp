#include "consult/Reasoning.h"

#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/basKelva.h"
#include "model/basLibrary.h"

namespace kelvane {

namespace {

// The answer a node stands at: its own when answered, else its default.
double standing(const Node& node) { return node.Answered ? node.Answer() : node.Default; }

// "<name> is <answer>" (or "are" for a plural name).
QString clause(const std::shared_ptr<Node>& node)
{
    return node->Name()->Text() + (node->Plural ? QStringLiteral(" are ") : QStringLiteral(" is "))
        + basKelva::GetAnswer(node, standing(*node));
}

bool forcesTrue(const Link& link)
{
    return link.DOT == 1
        && ((link.AlwaysAffirm && link.WeightAffirm == 1) || (link.AlwaysDeny && link.WeightDeny == 0));
}

bool forcesFalse(const Link& link)
{
    return link.DOT == 0
        && ((link.AlwaysAffirm && link.WeightAffirm == 0) || (link.AlwaysDeny && link.WeightDeny == 1));
}

} // namespace

Reasoning Reasoning::of(const std::shared_ptr<Node>& node, bool alignRight)
{
    Reasoning reasoning;
    const double user = standing(*requireObject(node));
    reasoning.yourAnswer = basKelva::GetAnswer(node, user);
    const double known = basKelva::CalculateAnswer(node, false);
    reasoning.myAnswer = basKelva::GetAnswer(node, known);
    reasoning.agrees = reasoning.myAnswer == reasoning.yourAnswer;
    if (reasoning.agrees)
        return reasoning;

    QString towards;  // the links pulling the way the knowledge base's answer differs
    QString against;
    if (known > user) {
        towards = QStringLiteral("Because ");
        against = QStringLiteral("Although ");
    } else if (known < user) {
        towards = QStringLiteral("Although ");
        against = QStringLiteral("Because ");
    }

    // Forcing links: the last of each kind names the clause.
    bool forcedTrue = false;
    bool forcedFalse = false;
    QString trueClause;
    QString falseClause;
    for (const auto& link : node->Links()) {
        skippingErrors([&] {
            if (!link->Active)
                return;
            if (forcesTrue(*link)) {
                forcedTrue = true;
                trueClause = clause(requireObject(link->ConnectionTo));
            }
            if (forcesFalse(*link)) {
                forcedFalse = true;
                falseClause = clause(requireObject(link->ConnectionTo));
            }
        });
    }
    if (forcedTrue && forcedFalse) {
        reasoning.contradiction = true;
        reasoning.lines.push_back(
            {QStringLiteral("There is a contradiction because ") + trueClause + QStringLiteral(" and ") + falseClause, {}});
        return reasoning;
    }

    for (const auto& link : node->Links()) {
        skippingErrors([&] {
            const auto evidence = requireObject(link->ConnectionTo);
            if (!link->Active || !evidence->Enabled() || !(evidence->Answered || !evidence->NoDefault)
                || link->DOT == 0.5)
                return;
            const QString word = link->DOT > 0.5 ? towards : against;
            const QString name = basLibrary::ReplaceAll(evidence->Name()->Text(), QStringLiteral("\r"), QStringLiteral(" "));
            const QString answer = basKelva::GetAnswer(evidence, standing(*evidence));
            const QString text = alignRight
                ? word + QStringLiteral(" ") + name + QStringLiteral(" ") + answer
                : word + name + (evidence->Plural ? QStringLiteral(" are ") : QStringLiteral(" is ")) + answer;
            reasoning.lines.push_back({text, link});
        });
    }
    return reasoning;
}

} // namespace kelvane
