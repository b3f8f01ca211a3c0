#pragma once

#include "platform/Variant.h"

#include <QString>
#include <optional>

namespace kelvane {

// The saved property values of a control, as its container keeps them from one session to
// the next: values by name, read with a default for a name not saved, written with a
// default that is left out (reading it back gives the default anyway).
class PropertyBag {
public:
    virtual ~PropertyBag() = default;

    Variant ReadProperty(const QString& name, const Variant& defaultValue) const
    {
        return saved(name).value_or(defaultValue);
    }

    void WriteProperty(const QString& name, const Variant& value, const Variant& defaultValue)
    {
        if (!(value == defaultValue))
            save(name, value);
    }

protected:
    virtual std::optional<Variant> saved(const QString& name) const = 0;
    virtual void save(const QString& name, const Variant& value) = 0;
};

} // namespace kelvane
