#pragma once

#include "platform/Variant.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace platform::automation {

class DispatchObject;

// A property a control keeps in its container's saved data, with the value it has when
// nothing was saved.
struct PersistedProperty {
    QString name;
    kelvane::Variant defaultValue;
};

// The saved properties of a control: values by name, with defaults on both sides, and a
// stable text form, one line per property in the order written:
//   Caption = "Yes, \"sure\""     texts quoted; \\ \" \n \r \t and \uXXXX (other control
//                                  characters) escaped; every other character as it is
//   Enabled = True                 Booleans True and False
//   Options = 5%                   16-bit whole numbers end in %, 32-bit ones in &
//   Value = 0.25#                  doubles end in # ("." as separator, shortest exact form)
// Names are compared without regard to case. Empty values are not kept; objects cannot be.
class PropertyBag {
public:
    // The saved value, or `defaultValue` when there is none.
    kelvane::Variant read(const QString& name, const kelvane::Variant& defaultValue = {}) const;
    // Keeps the value; a value equal to `defaultValue` (or Empty) is not kept. An object
    // raises TypeMismatch (13).
    void write(const QString& name, const kelvane::Variant& value, const kelvane::Variant& defaultValue = {});
    bool contains(const QString& name) const;
    QStringList names() const;

    QString toText() const;
    // Raises InvalidFileFormat (321) naming the first line it cannot read.
    static PropertyBag fromText(const QString& text);

    // Saves the properties by reading each through the object's dispatch interface.
    void saveFrom(const DispatchObject& object, const QList<PersistedProperty>& properties);
    // Loads them by writing each, in the order given, through the dispatch interface: the saved
    // value, else the default (a property with neither is left alone).
    void loadInto(const DispatchObject& object, const QList<PersistedProperty>& properties) const;

private:
    qsizetype indexOf(const QString& name) const;

    QList<std::pair<QString, kelvane::Variant>> m_values;
};

} // namespace platform::automation
