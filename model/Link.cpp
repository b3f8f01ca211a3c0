#include "model/Link.h"

#include "model/Node.h"
#include "model/RequireObject.h"

namespace kelvane {

std::shared_ptr<Link> Link::copyBetween(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to) const
{
    auto copy = std::make_shared<Link>();
    copy->ConnectionFrom = requireObject(from);
    copy->ConnectionTo = requireObject(to);
    copy->WeightDeny = WeightDeny;
    copy->AlwaysDeny = AlwaysDeny;
    copy->Weight = Weight;
    copy->WeightAffirm = WeightAffirm;
    copy->AlwaysAffirm = AlwaysAffirm;
    copy->DOT = DOT;
    copy->Active = Active;
    copy->TooltipText = TooltipText;
    from->Links().Add(copy);
    to->Parents().Add(from);
    return copy;
}

} // namespace kelvane
