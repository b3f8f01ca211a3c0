// The shared library "plexant": a self-registering in-process server of the HTTPS control,
// for programs to create by class name.
#include "https/HTTPS.h"
#include "https/PlexantTypeLibrary.h"
#include "platform/automation/InProcessServer.h"

namespace {

using namespace platform::automation;

const ClassServer& plexantServer()
{
    static const ClassServer server(kelvane::plexant::typeLibrary(),
                                    {ServedClass::of<kelvane::plexant::HTTPS>(kelvane::plexant::httpsRegistration())});
    return server;
}

} // namespace

KELVANE_IN_PROCESS_SERVER(plexantServer)
