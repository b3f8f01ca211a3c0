#include "model/LinkForcing.h"

#include "model/Link.h"

namespace kelvane {

LinkForcing forcingOf(const Link& link)
{
    // Either flag with its matching weight suffices; the test does not ask which weight
    // produced the value.
    if (link.DOT == 1 && ((link.AlwaysDeny && link.WeightDeny == 0) || (link.AlwaysAffirm && link.WeightAffirm == 1)))
        return LinkForcing::True;
    if (link.DOT == 0 && ((link.AlwaysDeny && link.WeightDeny == 1) || (link.AlwaysAffirm && link.WeightAffirm == 0)))
        return LinkForcing::False;
    return LinkForcing::None;
}

} // namespace kelvane
