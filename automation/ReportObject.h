#pragma once

#include "model/Report.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// The explanation of the consultation as automation callers and macro code see it; its items
// are made again from the current answers on every read.
class ReportObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(platform::automation::DispatchObject KnowledgeBase READ KnowledgeBase)
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(platform::automation::DispatchObject ReportItems READ ReportItems)

public:
    using Model = kelvane::Report;
    static constexpr const char* kClassName = "Report";

    explicit ReportObject(std::shared_ptr<kelvane::Report> report) : m_report(std::move(report)) {}
    std::shared_ptr<kelvane::Report> model() const { return m_report; }

    platform::automation::DispatchObject KnowledgeBase() const;
    QString Name() const { return m_report->Name(); }
    platform::automation::DispatchObject ReportItems() const;

private:
    std::shared_ptr<kelvane::Report> m_report;
};

} // namespace kelvane::automation
