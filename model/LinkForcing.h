#pragma once

namespace kelvane {

class Link;

// Whether a link, at its current degree of truth, decides its conclusion: a degree of
// truth of exactly 1 with an "always" flag whose weight gives 1 forces true; exactly 0
// with an "always" flag whose weight gives 0 forces false.
enum class LinkForcing { None, True, False };

LinkForcing forcingOf(const Link& link);
// The same at the degree of truth `dot`.
LinkForcing forcingOf(const Link& link, double dot);

} // namespace kelvane
