#include "platform/Registry.h"

#include "platform/CheckedSaveFile.h"
#include "platform/FileBytes.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace platform {

namespace {

const QString kOpenWithDesktop = QStringLiteral("\"xdg-open\" \"%1\"");

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The spelling under which the object holds `name`; a null text when it does not.
QString spellingIn(const QJsonObject& object, const QString& name)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (sameName(it.key(), name))
            return it.key();
    }
    return {};
}

std::optional<QString> valueIn(const QJsonObject& values, const QString& valueName)
{
    const QString name = spellingIn(values, valueName);
    if (name.isNull())
        return std::nullopt;
    return values.value(name).toVariant().toString();
}

QString fullKeyPath(RegistryHive hive, const QString& keyPath) { return hiveName(hive) + u'\\' + keyPath; }

bool isSameOrBelow(const QString& key, const QString& path)
{
    return sameName(key, path) || key.startsWith(path + u'\\', Qt::CaseInsensitive);
}

// What a desktop without registrations of its own answers.
std::optional<QString> desktopDefault(RegistryHive hive, const QString& keyPath, const QString& valueName)
{
    if (!valueName.isEmpty())
        return std::nullopt;
    if (hive == HKEY_LOCAL_MACHINE && sameName(keyPath, QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command")))
        return kOpenWithDesktop;
    if (hive != HKEY_CLASSES_ROOT)
        return std::nullopt;
    const bool isExtension = keyPath.size() > 1 && keyPath.startsWith(u'.') && !keyPath.contains(u'\\');
    if (isExtension)
        return FileRegistry::desktopDocumentClass();
    if (sameName(keyPath, FileRegistry::desktopDocumentClass() + QStringLiteral("\\shell\\open\\command")))
        return kOpenWithDesktop;
    return std::nullopt;
}

// Sets the value in the keys; false when they hold it already.
bool setIn(QJsonObject& keys, RegistryHive hive, const QString& keyPath, const QString& valueName, const QString& value)
{
    QString key = spellingIn(keys, fullKeyPath(hive, keyPath));
    if (key.isNull())
        key = fullKeyPath(hive, keyPath);
    QJsonObject values = keys.value(key).toObject();
    QString name = spellingIn(values, valueName);
    if (name.isNull())
        name = valueName;
    else if (values.value(name) == QJsonValue(value))
        return false;
    values.insert(name, value);
    keys.insert(key, values);
    return true;
}

// Makes the key in the keys; false when they hold it already.
bool createIn(QJsonObject& keys, RegistryHive hive, const QString& keyPath)
{
    if (!spellingIn(keys, fullKeyPath(hive, keyPath)).isNull())
        return false;
    keys.insert(fullKeyPath(hive, keyPath), QJsonObject());
    return true;
}

} // namespace

void Registry::apply(const QList<RegistryChange>& changes)
{
    for (const RegistryChange& change : changes) {
        if (change.value)
            setValue(change.hive, change.keyPath, change.value->first, change.value->second);
        else
            createKey(change.hive, change.keyPath);
    }
}

QString hiveName(RegistryHive hive)
{
    switch (hive) {
    case RegistryHive::ClassesRoot: return QStringLiteral("HKEY_CLASSES_ROOT");
    case RegistryHive::CurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case RegistryHive::LocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case RegistryHive::Users: return QStringLiteral("HKEY_USERS");
    case RegistryHive::CurrentConfig: return QStringLiteral("HKEY_CURRENT_CONFIG");
    }
    return QStringLiteral("0x%1").arg(static_cast<quint32>(hive), 8, 16, QChar(u'0'));
}

FileRegistry::FileRegistry() : m_filePath(defaultFilePath()) {}

FileRegistry::FileRegistry(QString filePath) : m_filePath(std::move(filePath)) {}

QString FileRegistry::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Kelvane/registry.json");
}

QString FileRegistry::desktopDocumentClass() { return QStringLiteral("DesktopOpener.Document"); }

QJsonObject FileRegistry::readKeys() const
{
    if (refusalOf(m_filePath))
        return {};
    return keysOfFile();
}

QJsonObject FileRegistry::keysToChange() const
{
    if (const auto refusal = refusalOf(m_filePath))
        kelvane::raiseError(kelvane::err::PathFileAccess,
                            *refusal + QStringLiteral(" The registry reads as empty and the file is left as it is."));
    return keysOfFile();
}

QJsonObject FileRegistry::keysOfFile() const
{
    if (!QFile::exists(m_filePath))
        return {};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(readFileBytes(m_filePath), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        kelvane::raiseError(kelvane::err::PathFileAccess, QStringLiteral("The registry file %1 is damaged").arg(m_filePath));
    return document.object();
}

void FileRegistry::writeKeys(const QJsonObject& keys) const
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    CheckedSaveFile file(m_filePath);
    if (file.open())
        file.write(QJsonDocument(keys).toJson());
    if (!file.commit())
        kelvane::raiseError(kelvane::err::PathFileAccess, QStringLiteral("The registry file %1 cannot be written: %2")
                                                              .arg(m_filePath, file.errorString()));
}

std::optional<QString> FileRegistry::queryValue(RegistryHive hive, const QString& keyPath, const QString& valueName)
{
    const QJsonObject keys = readKeys();
    const QString key = spellingIn(keys, fullKeyPath(hive, keyPath));
    if (!key.isNull())
        return valueIn(keys.value(key).toObject(), valueName);
    return desktopDefault(hive, keyPath, valueName);
}

bool FileRegistry::keyExists(RegistryHive hive, const QString& keyPath)
{
    const QJsonObject keys = readKeys();
    const QString path = fullKeyPath(hive, keyPath);
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        if (isSameOrBelow(it.key(), path))
            return true;
    }
    return desktopDefault(hive, keyPath, {}).has_value();
}

void FileRegistry::setValue(RegistryHive hive, const QString& keyPath, const QString& valueName, const QString& value)
{
    apply({{hive, keyPath, std::pair {valueName, value}}});
}

void FileRegistry::createKey(RegistryHive hive, const QString& keyPath)
{
    apply({{hive, keyPath, std::nullopt}});
}

void FileRegistry::apply(const QList<RegistryChange>& changes)
{
    QJsonObject keys = keysToChange();
    bool changed = false;
    for (const RegistryChange& change : changes) {
        changed |= change.value ? setIn(keys, change.hive, change.keyPath, change.value->first, change.value->second)
                                : createIn(keys, change.hive, change.keyPath);
    }
    if (changed)
        writeKeys(keys); // values written as they are held already leave the file alone
}

void FileRegistry::deleteKey(RegistryHive hive, const QString& keyPath)
{
    QJsonObject keys = keysToChange();
    const QString path = fullKeyPath(hive, keyPath);
    QStringList doomed;
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        if (isSameOrBelow(it.key(), path))
            doomed.append(it.key());
    }
    if (doomed.isEmpty())
        return;
    for (const QString& key : std::as_const(doomed))
        keys.remove(key);
    writeKeys(keys);
}

} // namespace platform
