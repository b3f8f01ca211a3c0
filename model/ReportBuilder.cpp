#include "model/ReportBuilder.h"

#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/Report.h"
#include "model/ReportItem.h"
#include "model/RequireObject.h"

#include <functional>

namespace kelvane {

namespace {

constexpr const char* kModule = "Report";

} // namespace

std::size_t ReportBuilder::KeyHash::operator()(const Key& key) const noexcept
{
    const std::size_t node = std::hash<const Node*>()(key.node);
    const std::size_t link = std::hash<const Link*>()(key.link);
    return node ^ (link * 0x9E3779B97F4A7C15ull) ^ std::size_t(key.conjunction);
}

ReportBuilder::Entered ReportBuilder::enter(const std::shared_ptr<Node>& node, const std::shared_ptr<Link>& linkToParent,
                                            bool conjunction)
{
    Entered entered;
    trappedVoid(kModule, "AddReportItem", [&] {
        const auto subject = requireObject(node);
        if (m_path.contains(subject.get())) {
            entered.metPath = true;
            return;
        }
        const Key key {subject.get(), linkToParent.get(), conjunction};
        if (const auto built = m_built.find(key); built != m_built.end()) {
            entered.item = built->second;
            return;
        }

        Frame frame {key, nullptr, {}};
        // The evidence receives whether this node is answered as its conjunction switch.
        for (const auto& link : subject->Links().Snapshot())
            frame.evidence.push_back({requireObject(link)->ConnectionTo, link, subject->Answered});
        // A node standing for a node of a lower-level network also lists that node's enabled evidence.
        if (subject->External() && subject->LowerLevelNode) {
            for (const auto& link : subject->LowerLevelNode->Links().Snapshot()) {
                if (requireObject(requireObject(link)->ConnectionTo)->Enabled())
                    frame.evidence.push_back({link->ConnectionTo, link, subject->Answered});
            }
        }

        qint16 icon = 5;
        if (linkToParent)
            icon = Report::GetNodeIcon(linkToParent->DOT);
        else if (subject->Answered)
            icon = Report::GetNodeIcon(subject->Answer());
        else if (!subject->NoDefault)
            icon = Report::GetNodeIcon(subject->Default);
        frame.item = m_report.GetNodeReportItem(subject, linkToParent, conjunction);
        frame.item->Value = icon;

        m_path.insert(subject.get());
        m_frames.push_back(std::move(frame));
        entered.opened = true;
    });
    return entered;
}

std::shared_ptr<ReportItem> ReportBuilder::build(const std::shared_ptr<Node>& node, const std::shared_ptr<Link>& linkToParent,
                                                 bool conjunction)
{
    const std::size_t base = m_frames.size();
    const Entered first = enter(node, linkToParent, conjunction);
    if (!first.opened)
        return first.item;

    std::shared_ptr<ReportItem> finished;
    while (m_frames.size() > base) {
        Frame& frame = m_frames.back();
        if (frame.next < frame.evidence.size()) {
            const Evidence evidence = frame.evidence[frame.next++];
            const Entered entered = enter(evidence.node, evidence.link, evidence.conjunction);
            if (entered.opened)
                continue; // `frame` may have moved
            if (entered.item)
                frame.item->ReportItems().Add(entered.item);
            frame.metPath = frame.metPath || entered.metPath;
            continue;
        }
        // A line whose branches never met the way to it reads the same wherever it is
        // listed: it is kept for the next place.
        Frame done = std::move(frame);
        m_frames.pop_back();
        m_path.erase(done.key.node);
        if (!done.metPath)
            m_built.emplace(done.key, done.item);
        if (m_frames.size() > base) {
            Frame& holder = m_frames.back();
            holder.item->ReportItems().Add(done.item);
            holder.metPath = holder.metPath || done.metPath;
        } else {
            finished = std::move(done.item);
        }
    }
    return finished;
}

} // namespace kelvane
