#pragma once

#include "platform/Registry.h"

#include <QHash>
#include <optional>

namespace platform::doubles {

// A registry the test fills; it knows nothing it was not told (no desktop defaults).
// `failure` makes every read raise that error, as a registry that cannot be read would.
class MemoryRegistry : public Registry {
public:
    void set(RegistryHive hive, const QString& keyPath, const QString& valueName, const QString& value)
    {
        m_values.insert(address(hive, keyPath, valueName), value);
    }

    std::optional<QString> queryValue(RegistryHive hive, const QString& keyPath, const QString& valueName) override
    {
        ++reads;
        if (failure)
            throw *failure;
        const auto it = m_values.constFind(address(hive, keyPath, valueName));
        return it == m_values.constEnd() ? std::nullopt : std::optional<QString>(*it);
    }

    std::optional<kelvane::RuntimeError> failure;
    int reads = 0;

private:
    static QString address(RegistryHive hive, const QString& keyPath, const QString& valueName)
    {
        return (hiveName(hive) + u'\\' + keyPath + u'|' + valueName).toCaseFolded();
    }

    QHash<QString, QString> m_values;
};

} // namespace platform::doubles
