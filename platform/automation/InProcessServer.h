#pragma once

#include "platform/automation/ClassServer.h"
#include "platform/automation/ServerLibrary.h"

#include <QtGlobal>

namespace platform::automation::inprocess {

// What the exported entries of an in-process server do; KELVANE_IN_PROCESS_SERVER calls them.
// Failures come back as HRESULTs, never as exceptions across the library's edge.
// The library's server is reached through its function, so that even a failure to make it
// comes back as an HRESULT.
using ServerFunction = const ClassServer& (*)();

HResult registerServer(ServerFunction server, const void* addressInLibrary);
HResult unregisterServer(ServerFunction server);
HResult getClassObject(ServerFunction server, const QUuid& classId, std::shared_ptr<ClassFactory>& factory);
HResult canUnloadNow(ServerFunction server);

} // namespace platform::automation::inprocess

// Exports the four entries of a self-registering in-process server (see ServerLibrary.h) from
// a shared library. `serverFunction` returns the library's ClassServer (a function-local
// static). Use once per library, outside any namespace.
#define KELVANE_IN_PROCESS_SERVER(serverFunction)                                                                     \
    namespace {                                                                                                       \
    const char kelvaneServerAnchor = 0; /* an address inside this library, to find its file */                      \
    }                                                                                                                 \
    extern "C" Q_DECL_EXPORT platform::automation::HResult DllRegisterServer()                                        \
    {                                                                                                                 \
        return platform::automation::inprocess::registerServer(&serverFunction, &kelvaneServerAnchor);               \
    }                                                                                                                 \
    extern "C" Q_DECL_EXPORT platform::automation::HResult DllUnregisterServer()                                      \
    {                                                                                                                 \
        return platform::automation::inprocess::unregisterServer(&serverFunction);                                   \
    }                                                                                                                 \
    extern "C" Q_DECL_EXPORT platform::automation::HResult DllGetClassObject(                                         \
        const QUuid& classId, std::shared_ptr<platform::automation::ClassFactory>& factory)                           \
    {                                                                                                                 \
        return platform::automation::inprocess::getClassObject(&serverFunction, classId, factory);                   \
    }                                                                                                                 \
    extern "C" Q_DECL_EXPORT platform::automation::HResult DllCanUnloadNow()                                          \
    {                                                                                                                 \
        return platform::automation::inprocess::canUnloadNow(&serverFunction);                                       \
    }
