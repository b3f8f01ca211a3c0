#include "platform/automation/ServerLibrary.h"

#include "platform/RuntimeError.h"

#include <QLibrary>
#include <dlfcn.h>

namespace platform::automation {

namespace {

// Resolves an entry of the library, loading it (libraries stay loaded: their objects and
// class factories may live as long as the process).
QFunctionPointer entryOf(const QString& libraryPath, const char* entry)
{
    QLibrary library(libraryPath);
    if (!library.load())
        return nullptr;
    return library.resolve(entry);
}

void callRegistrationEntry(const QString& libraryPath, const char* entry)
{
    const auto function = reinterpret_cast<RegisterServerEntry>(entryOf(libraryPath, entry));
    if (!function)
        kelvane::raiseError(kelvane::err::FileNotFound, QStringLiteral("%1 has no entry %2").arg(libraryPath, QLatin1String(entry)));
    const HResult result = function();
    if (result != hresult::Ok)
        kelvane::raiseError(kelvane::err::InvalidProcedureCall,
                            QStringLiteral("%1 failed in %2 (0x%3)")
                                .arg(libraryPath, QLatin1String(entry))
                                .arg(static_cast<quint32>(result), 8, 16, QChar(u'0')));
}

} // namespace

void registerServerLibrary(const QString& libraryPath) { callRegistrationEntry(libraryPath, "DllRegisterServer"); }

void unregisterServerLibrary(const QString& libraryPath) { callRegistrationEntry(libraryPath, "DllUnregisterServer"); }

std::shared_ptr<ClassFactory> classFactoryFromLibrary(const QString& libraryPath, const QUuid& classId)
{
    const auto function = reinterpret_cast<GetClassObjectEntry>(entryOf(libraryPath, "DllGetClassObject"));
    std::shared_ptr<ClassFactory> factory;
    if (!function || function(classId, factory) != hresult::Ok)
        return nullptr;
    return factory;
}

QString modulePathOf(const void* address)
{
    Dl_info info {};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return {};
    return QString::fromLocal8Bit(info.dli_fname);
}

} // namespace platform::automation
