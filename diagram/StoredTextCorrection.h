#pragma once

#include <QString>

namespace kelvane {

// Carries a correction of a label's plain text into its stored text. The stored text holds
// link markup ("<A " attributes ">" link text "</A>") and "&lt;" / "&gt;" for "<" / ">"; its
// plain text is what a reader sees (TextLabel::Text). The words the correction changed are
// changed where they stand in the stored text, inside or outside a link, and every tag stays.
namespace storedtextcorrection {

// `stored` with the plain text `before` (its own plain text) corrected to `after`. Characters
// the correction adds are stored escaped. Should `before` not be the stored text's plain text,
// the correction cannot be placed and `after` comes back as it is.
QString Apply(const QString& stored, const QString& before, const QString& after);

} // namespace storedtextcorrection

} // namespace kelvane
