#pragma once

#include "platform/Service.h"

#include <QList>
#include <QString>
#include <optional>

namespace platform {

// A value to save, with the section and key it is saved under.
struct StoredSetting {
    QString section;
    QString key;
    QString value;
};

// The per-user settings store: text values addressed by application, section and key.
// Values come back exactly as they were saved, NUL and line-break characters included.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The saved value, or `defaultValue` when nothing was saved under the key.
    virtual QString getSetting(const QString& application, const QString& section, const QString& key,
                               const QString& defaultValue = {}) = 0;

    // Saves the values together, in one write: all of them, or none when the store cannot be
    // written (which raises PathFileAccess, 75).
    virtual void saveSettings(const QString& application, const QList<StoredSetting>& settings) = 0;

    // Saves one value, as saveSettings does.
    void saveSetting(const QString& application, const QString& section, const QString& key, const QString& value)
    {
        saveSettings(application, {{section, key, value}});
    }

    // Why the application's stored settings cannot be used (they then read as their defaults,
    // and every save raises); nothing when they can.
    virtual std::optional<QString> refusal(const QString& /*application*/) { return std::nullopt; }
};

// One INI file per application, "<XDG config folder>/Kelvane/<application>.ini", one INI
// group per section. Section and key names may hold any character, "/" and "\" included.
// The file is readable and writable by its owner only. A save writes a new file beside it and
// puts it in the old one's place only once it was written whole: a save that fails (a full
// disk) raises and leaves the old file as it was. A file no reader reads (a pipe, a device, a
// file beyond the size every reader is capped at) is neither waited on nor read nor replaced.
class IniSettingsStore : public SettingsStore {
public:
    QString getSetting(const QString& application, const QString& section, const QString& key,
                       const QString& defaultValue = {}) override;
    void saveSettings(const QString& application, const QList<StoredSetting>& settings) override;
    std::optional<QString> refusal(const QString& application) override;

    // The file that holds an application's settings.
    static QString fileOf(const QString& application);
};

template <>
struct ServiceDefault<SettingsStore> {
    static std::unique_ptr<SettingsStore> create() { return std::make_unique<IniSettingsStore>(); }
};

inline SettingsStore& settings() { return Service<SettingsStore>::get(); }

} // namespace platform
