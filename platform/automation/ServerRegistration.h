#pragma once

#include "platform/automation/ClassRegistration.h"
#include "platform/automation/TypeLibrary.h"

namespace platform::automation {

// Self-registration: the registry keys (under HKEY_CLASSES_ROOT) of a server's classes, of its
// type library and of its interfaces:
//   <ProgID>                    = display name; \CLSID = {class id}; \CurVer = the versioned
//                                 ProgID (version-independent and other ProgIDs only)
//   CLSID\{class id}            = display name; \ProgID, \VersionIndependentProgID,
//                                 \InprocServer32 = path with "ThreadingModel", or \LocalServer32 = path,
//                                 \TypeLib = {library id}, \Version, \MiscStatus = "0" with \1 = status,
//                                 \ToolboxBitmap32 = "path, n", the marker keys,
//                                 \Implemented Categories\{category}
//   TypeLib\{library id}\<version> = help string; \0\win32 = path; \FLAGS = "0"; \HELPDIR = folder
//   Interface\{interface id}    = name; \TypeLib = {library id} with "Version"
// Raises what the registry raises when it cannot be written.
void writeServerKeys(const TypeLibraryDescription& library, const QList<ClassRegistration>& classes,
                     ServerKind kind, const QString& serverPath);
// Removes every key writeServerKeys made.
void removeServerKeys(const TypeLibraryDescription& library, const QList<ClassRegistration>& classes);

} // namespace platform::automation
