#include "platform/automation/ServerRegistration.h"

#include "platform/Registry.h"
#include "platform/RuntimeError.h"

#include <QFileInfo>

namespace platform::automation {

namespace {

const ClassDescription& describedClass(const TypeLibraryDescription& library, const ClassRegistration& registration)
{
    const ClassDescription* described = library.findClass(registration.className);
    if (!described)
        kelvane::raiseError(kelvane::err::InvalidProcedureCall,
                            QStringLiteral("%1 has no class %2").arg(library.name, registration.className));
    return *described;
}

QString displayNameOf(const ClassDescription& described, const ClassRegistration& registration)
{
    if (!registration.displayName.isEmpty())
        return registration.displayName;
    return described.helpString.isEmpty() ? described.name : described.helpString;
}

// The keys of a server, gathered to be written at once.
class ServerKeys {
public:
    void setValue(RegistryHive hive, const QString& keyPath, const QString& valueName, const QString& value)
    {
        m_changes.append({hive, keyPath, std::pair {valueName, value}});
    }
    void createKey(RegistryHive hive, const QString& keyPath) { m_changes.append({hive, keyPath, std::nullopt}); }
    const QList<RegistryChange>& changes() const { return m_changes; }

private:
    QList<RegistryChange> m_changes;
};

QString classKey(const QUuid& id) { return QStringLiteral("CLSID\\") + registryText(id); }
QString typeLibraryKey(const TypeLibraryDescription& library) { return QStringLiteral("TypeLib\\") + registryText(library.id); }
QString interfaceKey(const QUuid& id) { return QStringLiteral("Interface\\") + registryText(id); }

QStringList progIdsOf(const ClassRegistration& registration)
{
    QStringList ids {registration.progId};
    if (!registration.versionIndependentProgId.isEmpty())
        ids.append(registration.versionIndependentProgId);
    ids.append(registration.otherProgIds);
    return ids;
}

void writeProgIds(ServerKeys& registry, const ClassRegistration& registration, const QString& classId, const QString& name)
{
    for (const QString& progId : progIdsOf(registration)) {
        registry.setValue(HKEY_CLASSES_ROOT, progId, {}, name);
        registry.setValue(HKEY_CLASSES_ROOT, progId + QStringLiteral("\\CLSID"), {}, classId);
        if (progId != registration.progId)
            registry.setValue(HKEY_CLASSES_ROOT, progId + QStringLiteral("\\CurVer"), {}, registration.progId);
    }
}

void writeClass(ServerKeys& registry, const TypeLibraryDescription& library, const ClassRegistration& registration,
                ServerKind kind, const QString& serverPath)
{
    const ClassDescription& described = describedClass(library, registration);
    const QString key = classKey(described.id);
    const QString name = displayNameOf(described, registration);
    const auto set = [&](const QString& subkey, const QString& valueName, const QString& value) {
        registry.setValue(HKEY_CLASSES_ROOT, subkey.isEmpty() ? key : key + u'\\' + subkey, valueName, value);
    };

    writeProgIds(registry, registration, registryText(described.id), name);
    set({}, {}, name);
    set(QStringLiteral("ProgID"), {}, registration.progId);
    if (!registration.versionIndependentProgId.isEmpty())
        set(QStringLiteral("VersionIndependentProgID"), {}, registration.versionIndependentProgId);
    if (kind == ServerKind::InProcess) {
        set(QStringLiteral("InprocServer32"), {}, serverPath);
        set(QStringLiteral("InprocServer32"), QStringLiteral("ThreadingModel"), registration.threadingModel);
    } else {
        set(QStringLiteral("LocalServer32"), {}, serverPath);
    }
    set(QStringLiteral("TypeLib"), {}, registryText(library.id));
    if (!registration.version.isEmpty())
        set(QStringLiteral("Version"), {}, registration.version);
    if (registration.miscStatus) {
        set(QStringLiteral("MiscStatus"), {}, QStringLiteral("0"));
        set(QStringLiteral("MiscStatus\\1"), {}, QString::number(*registration.miscStatus));
    }
    if (registration.toolboxBitmap != 0)
        set(QStringLiteral("ToolboxBitmap32"), {}, QStringLiteral("%1, %2").arg(serverPath).arg(registration.toolboxBitmap));
    for (const QString& marker : registration.markerKeys)
        registry.createKey(HKEY_CLASSES_ROOT, key + u'\\' + marker);
    for (const QUuid& category : registration.implementedCategories)
        registry.createKey(HKEY_CLASSES_ROOT, key + QStringLiteral("\\Implemented Categories\\") + registryText(category));
}

void writeTypeLibrary(ServerKeys& registry, const TypeLibraryDescription& library, const QString& serverPath)
{
    const QString key = typeLibraryKey(library) + u'\\' + library.versionText();
    registry.setValue(HKEY_CLASSES_ROOT, key, {}, library.helpString.isEmpty() ? library.name : library.helpString);
    registry.setValue(HKEY_CLASSES_ROOT, key + QStringLiteral("\\0\\win32"), {}, serverPath);
    registry.setValue(HKEY_CLASSES_ROOT, key + QStringLiteral("\\FLAGS"), {}, QStringLiteral("0"));
    registry.setValue(HKEY_CLASSES_ROOT, key + QStringLiteral("\\HELPDIR"), {}, QFileInfo(serverPath).absolutePath());
    for (const InterfaceDescription& described : library.interfaces) {
        const QString interface = interfaceKey(described.id);
        registry.setValue(HKEY_CLASSES_ROOT, interface, {}, described.name);
        registry.setValue(HKEY_CLASSES_ROOT, interface + QStringLiteral("\\TypeLib"), {}, registryText(library.id));
        registry.setValue(HKEY_CLASSES_ROOT, interface + QStringLiteral("\\TypeLib"), QStringLiteral("Version"),
                          library.versionText());
    }
}

} // namespace

void writeServerKeys(const TypeLibraryDescription& library, const QList<ClassRegistration>& classes, ServerKind kind,
                     const QString& serverPath)
{
    ServerKeys keys;
    writeTypeLibrary(keys, library, serverPath);
    for (const ClassRegistration& registration : classes)
        writeClass(keys, library, registration, kind, serverPath);
    registry().apply(keys.changes());
}

void removeServerKeys(const TypeLibraryDescription& library, const QList<ClassRegistration>& classes)
{
    Registry& target = registry();
    for (const ClassRegistration& registration : classes) {
        for (const QString& progId : progIdsOf(registration))
            target.deleteKey(HKEY_CLASSES_ROOT, progId);
        target.deleteKey(HKEY_CLASSES_ROOT, classKey(describedClass(library, registration).id));
    }
    for (const InterfaceDescription& described : library.interfaces)
        target.deleteKey(HKEY_CLASSES_ROOT, interfaceKey(described.id));
    target.deleteKey(HKEY_CLASSES_ROOT, typeLibraryKey(library));
}

} // namespace platform::automation
