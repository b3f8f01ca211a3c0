#pragma once

#include "model/Link.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// A link as automation callers and macro code see it: a view of one model link.
class LinkObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(platform::automation::DispatchObject ConnectionTo READ ConnectionTo WRITE setConnectionTo)
    Q_PROPERTY(platform::automation::DispatchObject ConnectionFrom READ ConnectionFrom WRITE setConnectionFrom)
    Q_PROPERTY(double WeightDeny READ WeightDeny WRITE setWeightDeny)
    Q_PROPERTY(bool AlwaysDeny READ AlwaysDeny WRITE setAlwaysDeny)
    Q_PROPERTY(double Weight READ Weight WRITE setWeight)
    Q_PROPERTY(double WeightAffirm READ WeightAffirm WRITE setWeightAffirm)
    Q_PROPERTY(bool AlwaysAffirm READ AlwaysAffirm WRITE setAlwaysAffirm)
    Q_PROPERTY(double DOT READ DOT WRITE setDOT)
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(QString TooltipText READ TooltipText WRITE setTooltipText)

public:
    using DispatchObject = platform::automation::DispatchObject;
    using Model = kelvane::Link;
    static constexpr const char* kClassName = "Link";

    explicit LinkObject(std::shared_ptr<kelvane::Link> link) : m_link(std::move(link)) {}
    std::shared_ptr<kelvane::Link> model() const { return m_link; }

    DispatchObject ConnectionTo() const;
    void setConnectionTo(const DispatchObject& node);
    DispatchObject ConnectionFrom() const;
    void setConnectionFrom(const DispatchObject& node);
    double WeightDeny() const { return m_link->WeightDeny; }
    void setWeightDeny(double value) { m_link->WeightDeny = value; }
    bool AlwaysDeny() const { return m_link->AlwaysDeny; }
    void setAlwaysDeny(bool value) { m_link->AlwaysDeny = value; }
    double Weight() const { return m_link->Weight; }
    void setWeight(double value) { m_link->Weight = value; }
    double WeightAffirm() const { return m_link->WeightAffirm; }
    void setWeightAffirm(double value) { m_link->WeightAffirm = value; }
    bool AlwaysAffirm() const { return m_link->AlwaysAffirm; }
    void setAlwaysAffirm(bool value) { m_link->AlwaysAffirm = value; }
    double DOT() const { return m_link->DOT; }
    void setDOT(double value) { m_link->DOT = value; }
    bool Active() const { return m_link->Active; }
    void setActive(bool value) { m_link->Active = value; }
    QString TooltipText() const { return m_link->TooltipText; }
    void setTooltipText(const QString& value) { m_link->TooltipText = value; }

private:
    std::shared_ptr<kelvane::Link> m_link;
};

} // namespace kelvane::automation
