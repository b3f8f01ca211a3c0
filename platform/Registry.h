#pragma once

#include "platform/Service.h"

#include <QString>
#include <optional>

namespace platform {

// The root keys of the registry, with the handle values the old platform gave them.
enum class RegistryHive : quint32 {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003,
    CurrentConfig = 0x80000005,
};

inline constexpr RegistryHive HKEY_CLASSES_ROOT = RegistryHive::ClassesRoot;
inline constexpr RegistryHive HKEY_CURRENT_USER = RegistryHive::CurrentUser;
inline constexpr RegistryHive HKEY_LOCAL_MACHINE = RegistryHive::LocalMachine;
inline constexpr RegistryHive HKEY_USERS = RegistryHive::Users;
inline constexpr RegistryHive HKEY_CURRENT_CONFIG = RegistryHive::CurrentConfig;

// "HKEY_CLASSES_ROOT" and so on.
QString hiveName(RegistryHive hive);

// Read access to the registry the program consults: open commands of file types and of web
// links, the local server of a class. Key paths use "\" and, like value names, are compared
// without regard to case; an empty value name is the key's default value.
class Registry {
public:
    virtual ~Registry() = default;

    // The value's text, or nothing when the key or the value does not exist. Raises a
    // RuntimeError when the registry itself cannot be read.
    virtual std::optional<QString> queryValue(RegistryHive hive, const QString& keyPath,
                                              const QString& valueName) = 0;
};

// The emulated registry: a JSON file, "<XDG config folder>/Kelvane/registry.json", that maps
// full key paths ("HKEY_CLASSES_ROOT\.txt") to objects of value names and texts:
//   { "HKEY_CLASSES_ROOT\\.txt": { "": "txtfile" } }
// Under what the file holds lie the desktop's defaults: web links and every file type open
// with the desktop's opener, xdg-open.
class FileRegistry : public Registry {
public:
    FileRegistry();
    explicit FileRegistry(QString filePath);

    std::optional<QString> queryValue(RegistryHive hive, const QString& keyPath, const QString& valueName) override;

    const QString& filePath() const { return m_filePath; }
    static QString defaultFilePath();

    // The class every file extension names unless the file registers another.
    static QString desktopDocumentClass();

private:
    QString m_filePath;
};

template <>
struct ServiceDefault<Registry> {
    static std::unique_ptr<Registry> create() { return std::make_unique<FileRegistry>(); }
};

inline Registry& registry() { return Service<Registry>::get(); }

} // namespace platform
