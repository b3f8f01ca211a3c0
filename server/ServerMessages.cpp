#include "server/ServerMessages.h"

#include "platform/UiServices.h"

namespace kelvane::server {

void TellCannotConnect()
{
    platform::ui().messageBox(kCannotConnect, platform::msgbox::Exclamation, platform::applicationTitle());
}

} // namespace kelvane::server
