#pragma once

#include "model/Property.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// A named value of a node or a network; macro code creates them with `new Property()`.
class PropertyObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(kelvane::Variant Value READ Value WRITE setValue)
    Q_PROPERTY(QString Name READ Name WRITE setName)

public:
    using Model = kelvane::Property;
    static constexpr const char* kClassName = "Property";

    PropertyObject() : m_property(std::make_shared<kelvane::Property>()) {}
    explicit PropertyObject(std::shared_ptr<kelvane::Property> property) : m_property(std::move(property)) {}
    std::shared_ptr<kelvane::Property> model() const { return m_property; }

    kelvane::Variant Value() const { return m_property->Value; }
    void setValue(const kelvane::Variant& value) { m_property->Value = value; }
    QString Name() const { return m_property->Name; }
    void setName(const QString& value) { m_property->Name = value; }

    Q_INVOKABLE platform::automation::DispatchObject Clone() const;

private:
    std::shared_ptr<kelvane::Property> m_property;
};

} // namespace kelvane::automation
