#include "model/Report.h"

#include "model/AbstractKnowledgeBase.h"
#include "model/AbstractNetwork.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/LinkForcing.h"
#include "model/Node.h"
#include "model/ReportBuilder.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/basKelva.h"

namespace kelvane {

namespace {

constexpr const char* kModule = "Report";

bool hasLivingParent(const Node& node)
{
    for (const auto& parent : node.Parents()) {
        if (!parent.expired())
            return true;
    }
    return false;
}

} // namespace

QString Report::Name() const
{
    // A report without a knowledge base or network has an empty name; nothing is reported.
    QString name;
    try {
        const auto network = requireObject(requireObject(KnowledgeBase.lock())->Network());
        if (const auto title = network->Name())
            name = title->Text();
        if (!network->ScenarioName().isEmpty())
            name += QStringLiteral(" - ") + network->ScenarioName();
    } catch (...) {
    }
    return name;
}

Collection<std::shared_ptr<ReportItem>> Report::ReportItems()
{
    Collection<std::shared_ptr<ReportItem>> items;
    trappedVoid(kModule, "ReportItems", [&] {
        const auto network = requireObject(requireObject(KnowledgeBase.lock())->Network());
        auto& layers = network->Layers();
        ReportBuilder builder(*this); // one for all the lines, so that their shared evidence is built once
        for (qsizetype index = layers.Count(); index >= 1; --index) {
            for (const auto& node : requireObject(layers.Item(index))->Nodes().Snapshot()) {
                if (hasLivingParent(*requireObject(node)))
                    continue;
                if (auto item = builder.build(node, nullptr, false))
                    items.Add(std::move(item));
            }
        }
    });
    return items;
}

std::shared_ptr<ReportItem> Report::AddReportItem(const std::shared_ptr<Node>& objNode,
                                                  const std::shared_ptr<Link>& objLinkToParent, bool bConjunction)
{
    return ReportBuilder(*this).build(objNode, objLinkToParent, bConjunction);
}

std::shared_ptr<ReportItem> Report::GetNodeReportItem(const std::shared_ptr<Node>& objNode,
                                                      const std::shared_ptr<Link>& objLinkToParent, bool bConjunction)
{
    auto item = std::make_shared<ReportItem>();
    trappedVoid(kModule, "GetNodeReportItem", [&] {
        item->KnowledgeBase = KnowledgeBase;
        const auto node = requireObject(objNode);
        const QString name = node->Name()->Text().replace(QLatin1Char('\r'), QLatin1Char(' '));
        QString conjunction;
        QString verb = QStringLiteral(" is ");
        QString answer;
        QString byDefault;
        QString overridden;
        QString always;
        QString contradiction;

        if (!node->Answered && node->NoDefault) {
            answer = QStringLiteral("unknown");
            item->Unknown = true;
        } else {
            if (objLinkToParent && bConjunction) {
                // The parent's answer and the link's degree of truth on the same side of 0.5.
                const double parentAnswer = requireObject(objLinkToParent->ConnectionFrom.lock())->Answer();
                const double linkDOT = objLinkToParent->DOT;
                const bool agree = (parentAnswer > 0.5 && linkDOT > 0.5) || (parentAnswer < 0.5 && linkDOT < 0.5);
                conjunction = agree ? QStringLiteral("Because ") : QStringLiteral("Although ");
            }
            if (node->Plural)
                verb = QStringLiteral(" are ");
            double value = node->Answer();
            if (!node->Answered) {
                byDefault = QStringLiteral("(BY DEFAULT)");
                item->ByDefault = true;
                value = node->Default;
            }
            answer = basKelva::GetAnswer(node, value) + QLatin1Char(' ');
            if (node->Overridden()) {
                overridden = QStringLiteral("(OVERIDDEN)");
                item->Overwritten = true;
            }
            if (node->Contradiction) {
                contradiction = QStringLiteral("(CONTRADICTION)");
                item->Contradiction = true;
            }
            if (objLinkToParent && forcingOf(*objLinkToParent) != LinkForcing::None) {
                always = QStringLiteral("(ALWAYS)");
                item->Always = true;
            }
        }
        item->Justification = node->Justification ? node->Justification->Text() : QString();
        item->Text = conjunction + name + verb + answer + byDefault + overridden + always + contradiction;
    });
    return item;
}

qint16 Report::GetNodeIcon(double dblDOT)
{
    if (dblDOT == 0.5)
        return 5;
    static constexpr struct {
        double above;
        qint16 icon;
    } kSteps[] = {{0.9, 10}, {0.8, 9}, {0.7, 8}, {0.6, 7}, {0.5, 6}, {0.4, 4}, {0.3, 3}, {0.2, 2}, {0.1, 1}};
    for (const auto& step : kSteps) {
        if (dblDOT > step.above)
            return step.icon;
    }
    return 0;
}

} // namespace kelvane
