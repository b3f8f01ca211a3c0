#include "platform/automation/InProcessServer.h"

#include "platform/automation/AutomationError.h"

namespace platform::automation::inprocess {

namespace {

template <class Body>
HResult guarded(Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return hresult::OutOfMemory;
    } catch (...) {
        return hresult::Fail;
    }
}

} // namespace

HResult registerServer(ServerFunction server, const void* addressInLibrary)
{
    return guarded([&] {
        const QString path = modulePathOf(addressInLibrary);
        if (path.isEmpty())
            return hresult::Fail;
        server().registerServer(ServerKind::InProcess, path);
        return hresult::Ok;
    });
}

HResult unregisterServer(ServerFunction server)
{
    return guarded([&] {
        server().unregisterServer();
        return hresult::Ok;
    });
}

HResult getClassObject(ServerFunction server, const QUuid& classId, std::shared_ptr<ClassFactory>& factory)
{
    return guarded([&] {
        factory = server().classObject(classId);
        return factory ? hresult::Ok : hresult::ClassNotAvailable;
    });
}

HResult canUnloadNow(ServerFunction server)
{
    return guarded([&] { return server().liveObjects() == 0 ? hresult::Ok : hresult::False; });
}

} // namespace platform::automation::inprocess
