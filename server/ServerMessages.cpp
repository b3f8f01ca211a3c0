#include "server/ServerMessages.h"

#include "platform/UiServices.h"

namespace kelvane::server {

void TellCannotConnect(const QString& reason)
{
    platform::ui().messageBox(reason.isEmpty() ? kCannotConnect : kCannotConnect + u'\r' + reason,
                              platform::msgbox::Exclamation, platform::applicationTitle());
}

} // namespace kelvane::server
