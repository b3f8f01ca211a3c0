#pragma once

#include "platform/Collection.h"

#include <QString>
#include <memory>

namespace kelvane {

class OlderTextStatement;
class Property;

// The numbered property statements of one block of the older text form: <prefix> n "_Name"
// starts a property, <prefix> n "_Value" gives the current property its value and adds it
// to the list under its name. The numbers do not pair the statements; their order does.
class OlderTextProperties {
public:
    // `prefix` as the keys write it ("Ubo_Property_"); duplicates are reported under
    // `moduleName` and "SerializeIn".
    OlderTextProperties(QString prefix, const char* moduleName);

    // True when the statement's key holds the prefix; the statement is then applied to
    // `properties`. A "_Value" without a property named before it raises
    // InvalidProcedureCall. A name already in the list keeps its first property: the
    // duplicate is reported and left out.
    bool apply(const OlderTextStatement& statement, Collection<std::shared_ptr<Property>>& properties);

private:
    QString m_prefix;
    const char* m_moduleName;
    std::shared_ptr<Property> m_current;
};

} // namespace kelvane
