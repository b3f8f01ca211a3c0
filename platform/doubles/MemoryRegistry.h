#pragma once

#include "platform/Registry.h"
#include "platform/RuntimeError.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace platform::doubles {

// A registry the test fills; it knows nothing it was not told (no desktop defaults).
// `failure` makes every read and write raise that error, as a registry that cannot be
// reached would.
class MemoryRegistry : public Registry {
public:
    void set(RegistryHive hive, const QString& keyPath, const QString& valueName, const QString& value)
    {
        m_keys.insert(key(hive, keyPath));
        m_values.insert(address(hive, keyPath, valueName), value);
    }

    std::optional<QString> queryValue(RegistryHive hive, const QString& keyPath, const QString& valueName) override
    {
        ++reads;
        check();
        const auto it = m_values.constFind(address(hive, keyPath, valueName));
        return it == m_values.constEnd() ? std::nullopt : std::optional<QString>(*it);
    }

    bool keyExists(RegistryHive hive, const QString& keyPath) override
    {
        check();
        const QString path = key(hive, keyPath);
        for (const QString& k : std::as_const(m_keys)) {
            if (k == path || k.startsWith(path + u'\\'))
                return true;
        }
        return false;
    }

    void setValue(RegistryHive hive, const QString& keyPath, const QString& valueName, const QString& value) override
    {
        check();
        set(hive, keyPath, valueName, value);
    }

    void createKey(RegistryHive hive, const QString& keyPath) override
    {
        check();
        m_keys.insert(key(hive, keyPath));
    }

    void deleteKey(RegistryHive hive, const QString& keyPath) override
    {
        check();
        const QString path = key(hive, keyPath);
        const auto below = [&](const QString& k) { return k == path || k.startsWith(path + u'\\'); };
        m_keys.removeIf(below);
        m_values.removeIf([&](const auto& entry) { return below(entry.key().section(u'|', 0, 0)); });
    }

    // Every key the registry holds, in lower case with its hive ("hkey_classes_root\\clsid\\...").
    QStringList keys() const { return QStringList(m_keys.begin(), m_keys.end()); }

    std::optional<kelvane::RuntimeError> failure;
    int reads = 0;

private:
    void check() const
    {
        if (failure)
            throw *failure;
    }
    static QString key(RegistryHive hive, const QString& keyPath) { return (hiveName(hive) + u'\\' + keyPath).toCaseFolded(); }
    static QString address(RegistryHive hive, const QString& keyPath, const QString& valueName)
    {
        return key(hive, keyPath) + u'|' + valueName.toCaseFolded();
    }

    QSet<QString> m_keys;
    QHash<QString, QString> m_values;
};

} // namespace platform::doubles
