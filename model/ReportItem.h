#pragma once

#include "platform/Collection.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace kelvane {

class AbstractKnowledgeBase;

// One line of the explanation report, with the lines of its evidence below it.
class ReportItem {
public:
    ReportItem() = default;
    ReportItem(const ReportItem&) = default;
    ReportItem& operator=(const ReportItem&) = default;
    ~ReportItem();

    std::weak_ptr<AbstractKnowledgeBase> KnowledgeBase;

    // The lines below this one.
    Collection<std::shared_ptr<ReportItem>>& ReportItems() { return m_reportItems; }
    const Collection<std::shared_ptr<ReportItem>>& ReportItems() const { return m_reportItems; }

    QString Text;
    QString Justification;
    qint16 Value = 0; // icon index 0 to 10
    bool Unknown = false;
    bool Overwritten = false;
    bool ByDefault = false;
    bool Contradiction = false;
    bool Always = false;

private:
    Collection<std::shared_ptr<ReportItem>> m_reportItems;
};

} // namespace kelvane
