#include "platform/Registry.h"

#include "platform/RuntimeError.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace platform {

namespace {

const QString kOpenWithDesktop = QStringLiteral("\"xdg-open\" \"%1\"");

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

std::optional<QString> valueIn(const QJsonObject& values, const QString& valueName)
{
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (sameName(it.key(), valueName))
            return it.value().toVariant().toString();
    }
    return std::nullopt;
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

} // namespace

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

std::optional<QString> FileRegistry::queryValue(RegistryHive hive, const QString& keyPath, const QString& valueName)
{
    QFile file(m_filePath);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            kelvane::raiseError(kelvane::err::PathFileAccess,
                                QStringLiteral("The registry file %1 cannot be read").arg(m_filePath));
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
        if (parseError.error != QJsonParseError::NoError || !document.isObject())
            kelvane::raiseError(kelvane::err::PathFileAccess,
                                QStringLiteral("The registry file %1 is damaged").arg(m_filePath));
        const QString fullPath = hiveName(hive) + u'\\' + keyPath;
        const QJsonObject keys = document.object();
        for (auto it = keys.begin(); it != keys.end(); ++it) {
            if (sameName(it.key(), fullPath))
                return valueIn(it.value().toObject(), valueName);
        }
    }
    return desktopDefault(hive, keyPath, valueName);
}

} // namespace platform
