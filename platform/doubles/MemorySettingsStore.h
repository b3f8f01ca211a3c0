#pragma once

#include "platform/SettingsStore.h"

#include <map>
#include <tuple>

namespace platform::doubles {

// Settings kept in memory; tests read and fill `values` directly.
class MemorySettingsStore : public SettingsStore {
public:
    using Address = std::tuple<QString, QString, QString>; // application, section, key

    QString getSetting(const QString& application, const QString& section, const QString& key,
                       const QString& defaultValue = {}) override
    {
        const auto it = values.find({application, section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void saveSettings(const QString& application, const QList<StoredSetting>& settings) override
    {
        for (const StoredSetting& setting : settings)
            values[{application, setting.section, setting.key}] = setting.value;
    }

    std::map<Address, QString> values;
};

} // namespace platform::doubles
