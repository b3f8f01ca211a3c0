#include "model/LinkForcing.h"

#include "model/Link.h"

namespace kelvane {

LinkForcing forcingOf(const Link& link)
{
    return forcingOf(link, link.DOT);
}

LinkForcing forcingOf(const Link& link, double dot)
{
    // Either flag with its matching weight suffices; the test does not ask which weight
    // produced the value.
    if (dot == 1 && ((link.AlwaysDeny && link.WeightDeny == 0) || (link.AlwaysAffirm && link.WeightAffirm == 1)))
        return LinkForcing::True;
    if (dot == 0 && ((link.AlwaysDeny && link.WeightDeny == 1) || (link.AlwaysAffirm && link.WeightAffirm == 0)))
        return LinkForcing::False;
    return LinkForcing::None;
}

} // namespace kelvane
