#include "platform/sockets/StandbySocketLibrary.h"

#include "platform/sockets/SocketErrors.h"

namespace platform::sockets {

int StandbySocketLibrary::startup(quint16, StartupRecord&) { return error::SystemNotReady; }

int StandbySocketLibrary::lastError() const { return error::NotInitialised; }

} // namespace platform::sockets
