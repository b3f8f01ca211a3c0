#include "model/ReportItem.h"

#include <vector>

namespace kelvane {

ReportItem::~ReportItem()
{
    // A chain of evidence can be thousands of lines deep: the lines below are let go one at a
    // time from a list, not by one nested destructor per level. A line another report still
    // holds keeps its own lines.
    std::vector<std::shared_ptr<ReportItem>> below;
    const auto takeLinesOf = [&below](ReportItem& item) {
        for (std::shared_ptr<ReportItem>& line : item.m_reportItems)
            below.push_back(std::move(line));
        item.m_reportItems.Clear();
    };
    takeLinesOf(*this);
    while (!below.empty()) {
        const std::shared_ptr<ReportItem> line = std::move(below.back());
        below.pop_back();
        if (line.use_count() == 1)
            takeLinesOf(*line);
    }
}

} // namespace kelvane
