#pragma once

#include "model/clsControl.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// The definition of one answer control of a node (class clsControl); macro code creates them
// with `new clsControl()`.
class ControlObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ControlType READ ControlType WRITE setControlType)
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(QString Value READ Value WRITE setValue)
    Q_PROPERTY(QString Default READ Default WRITE setDefault)

public:
    using Model = kelvane::clsControl;
    static constexpr const char* kClassName = "clsControl";

    ControlObject() : m_control(std::make_shared<kelvane::clsControl>()) {}
    explicit ControlObject(std::shared_ptr<kelvane::clsControl> control) : m_control(std::move(control)) {}
    std::shared_ptr<kelvane::clsControl> model() const { return m_control; }

    QString ControlType() const { return m_control->ControlType; }
    void setControlType(const QString& value) { m_control->ControlType = value; }
    QString Name() const { return m_control->Name; }
    void setName(const QString& value) { m_control->Name = value; }
    QString Value() const { return m_control->Value; }
    void setValue(const QString& value) { m_control->Value = value; }
    QString Default() const { return m_control->Default; }
    void setDefault(const QString& value) { m_control->Default = value; }

    Q_INVOKABLE platform::automation::DispatchObject Clone() const;

private:
    std::shared_ptr<kelvane::clsControl> m_control;
};

} // namespace kelvane::automation
