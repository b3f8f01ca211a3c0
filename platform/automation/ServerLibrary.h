#pragma once

#include "platform/automation/AutomationError.h"
#include "platform/automation/ClassFactory.h"

#include <QString>
#include <QUuid>
#include <memory>

namespace platform::automation {

// The entry points an in-process server library exports (KELVANE_IN_PROCESS_SERVER makes them):
//   HResult DllRegisterServer()      writes the registry keys of its classes
//   HResult DllUnregisterServer()    removes them
//   HResult DllGetClassObject(const QUuid& classId, std::shared_ptr<ClassFactory>& factory)
//   HResult DllCanUnloadNow()        Ok when none of its objects is alive, else False
using RegisterServerEntry = HResult (*)();
using GetClassObjectEntry = HResult (*)(const QUuid&, std::shared_ptr<ClassFactory>&);

// Calls a library's registration entry, as an installer registers a library by its path.
// Raises FileNotFound (53) when the library cannot be loaded or lacks the entry, and
// InvalidProcedureCall (5) with the HRESULT when the entry fails.
void registerServerLibrary(const QString& libraryPath);
void unregisterServerLibrary(const QString& libraryPath);

// The class factory that the library hands out for the class; null when it cannot be loaded,
// lacks the entry or does not serve the class.
std::shared_ptr<ClassFactory> classFactoryFromLibrary(const QString& libraryPath, const QUuid& classId);

// The file of the loaded library (or program) that holds the address.
QString modulePathOf(const void* address);

} // namespace platform::automation
