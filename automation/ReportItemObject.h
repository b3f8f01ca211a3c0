#pragma once

#include "model/ReportItem.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// One line of the explanation report, with the lines of its evidence below it.
class ReportItemObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(platform::automation::DispatchObject ReportItems READ ReportItems)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString Justification READ Justification WRITE setJustification)
    Q_PROPERTY(qint16 Value READ Value WRITE setValue)
    Q_PROPERTY(bool Unknown READ Unknown WRITE setUnknown)
    Q_PROPERTY(bool Overwritten READ Overwritten WRITE setOverwritten)
    Q_PROPERTY(bool ByDefault READ ByDefault WRITE setByDefault)
    Q_PROPERTY(bool Contradiction READ Contradiction WRITE setContradiction)
    Q_PROPERTY(bool Always READ Always WRITE setAlways)

public:
    using Model = kelvane::ReportItem;
    static constexpr const char* kClassName = "ReportItem";

    explicit ReportItemObject(std::shared_ptr<kelvane::ReportItem> item) : m_item(std::move(item)) {}
    std::shared_ptr<kelvane::ReportItem> model() const { return m_item; }

    platform::automation::DispatchObject ReportItems() const;
    QString Text() const { return m_item->Text; }
    void setText(const QString& value) { m_item->Text = value; }
    QString Justification() const { return m_item->Justification; }
    void setJustification(const QString& value) { m_item->Justification = value; }
    qint16 Value() const { return m_item->Value; }
    void setValue(qint16 value) { m_item->Value = value; }
    bool Unknown() const { return m_item->Unknown; }
    void setUnknown(bool value) { m_item->Unknown = value; }
    bool Overwritten() const { return m_item->Overwritten; }
    void setOverwritten(bool value) { m_item->Overwritten = value; }
    bool ByDefault() const { return m_item->ByDefault; }
    void setByDefault(bool value) { m_item->ByDefault = value; }
    bool Contradiction() const { return m_item->Contradiction; }
    void setContradiction(bool value) { m_item->Contradiction = value; }
    bool Always() const { return m_item->Always; }
    void setAlways(bool value) { m_item->Always = value; }

private:
    std::shared_ptr<kelvane::ReportItem> m_item;
};

} // namespace kelvane::automation
