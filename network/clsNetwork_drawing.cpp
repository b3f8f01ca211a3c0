#include "network/clsNetwork.h"

#include "model/ErrorTrap.h"
#include "network/NetworkDrawing.h"
#include "network/NetworkSupport.h"

namespace kelvane {

bool clsNetwork::DrawNetwork(platform::Canvas& canvas)
{
    return trappedVoid(networksupport::kModule, "DrawNetwork", [&] { drawing::drawNetwork(*this, canvas); });
}

} // namespace kelvane
