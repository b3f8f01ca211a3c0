#pragma once

#include "platform/Service.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

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

// A value to set (a key to make, without `value`) in Registry::apply.
struct RegistryChange {
    RegistryHive hive;
    QString keyPath;
    std::optional<std::pair<QString, QString>> value; // its name and text
};

// The registry the program consults (open commands of file types and of web links, the
// servers of classes) and that class registration writes. Key paths use "\" and, like value
// names, are compared without regard to case; an empty value name is the key's default value.
// Every call raises a RuntimeError when the registry itself cannot be read or written.
class Registry {
public:
    virtual ~Registry() = default;

    // The value's text, or nothing when the key or the value does not exist.
    virtual std::optional<QString> queryValue(RegistryHive hive, const QString& keyPath,
                                              const QString& valueName) = 0;
    // True when the key exists (it may hold no values, or only keys below it).
    virtual bool keyExists(RegistryHive hive, const QString& keyPath) = 0;

    // Sets a value, making its key when missing.
    virtual void setValue(RegistryHive hive, const QString& keyPath, const QString& valueName,
                          const QString& value) = 0;
    // Makes a key without values (such as "Control" under a class) when it is missing.
    virtual void createKey(RegistryHive hive, const QString& keyPath) = 0;
    // Removes the key, its values and every key below it; nothing when it is missing.
    virtual void deleteKey(RegistryHive hive, const QString& keyPath) = 0;

    // Several values set and keys made, as setValue and createKey make them one after another.
    virtual void apply(const QList<RegistryChange>& changes);
};

// The emulated registry: a JSON file, "<XDG config folder>/Kelvane/registry.json", that maps
// full key paths ("HKEY_CLASSES_ROOT\.txt") to objects of value names and texts:
//   { "HKEY_CLASSES_ROOT\\.txt": { "": "txtfile" } }
// Under what the file holds lie the desktop's defaults: web links and every file type open
// with the desktop's opener, xdg-open. Writes rewrite the whole file (a new file renamed
// over the old one), keeping the spelling of keys and value names already there; a value
// written as it is held already leaves the file alone. A file no reader reads (a pipe, a device,
// a file beyond the size every reader is capped at) is never waited on or read: the registry
// then reads as empty, and every write raises, saying why, and leaves the file as it is.
class FileRegistry : public Registry {
public:
    FileRegistry();
    explicit FileRegistry(QString filePath);

    std::optional<QString> queryValue(RegistryHive hive, const QString& keyPath, const QString& valueName) override;
    bool keyExists(RegistryHive hive, const QString& keyPath) override;
    void setValue(RegistryHive hive, const QString& keyPath, const QString& valueName, const QString& value) override;
    void createKey(RegistryHive hive, const QString& keyPath) override;
    void deleteKey(RegistryHive hive, const QString& keyPath) override;
    // Reads the file once and writes it at most once.
    void apply(const QList<RegistryChange>& changes) override;

    const QString& filePath() const { return m_filePath; }
    static QString defaultFilePath();

    // The class every file extension names unless the file registers another.
    static QString desktopDocumentClass();

private:
    // The keys the file holds, for a read: none where the file is refused.
    QJsonObject readKeys() const;
    // The keys the file holds, for a write: raises where the file is refused.
    QJsonObject keysToChange() const;
    QJsonObject keysOfFile() const;
    void writeKeys(const QJsonObject& keys) const;

    QString m_filePath;
};

template <>
struct ServiceDefault<Registry> {
    static std::unique_ptr<Registry> create() { return std::make_unique<FileRegistry>(); }
};

inline Registry& registry() { return Service<Registry>::get(); }

} // namespace platform
