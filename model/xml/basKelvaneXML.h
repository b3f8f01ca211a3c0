#pragma once

#include "model/clsColour.h"
#include "platform/Collection.h"

#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

namespace kelvane {
class FontProperties;
class Link;
class Property;
class TextLabel;
class clsControl;
} // namespace kelvane

namespace basXML {
class XMLTags;
} // namespace basXML

// The sub-elements that the node element and the network element of a knowledge-base
// document share: formatted text, fonts, colours, answers, properties, answer controls and
// links. Writers return whole lines, each ending in CR LF; readers take a piece of document
// text and never fail: an item or attribute they cannot read keeps its default.
namespace basKelvaneXML {

using kelvane::Collection;
using kelvane::FontProperties;
using kelvane::Link;
using kelvane::Property;
using kelvane::TextLabel;
using kelvane::clsColour;
using kelvane::clsControl;

// Every line of a document ends with this.
inline const QString kLineEnd = QStringLiteral("\r\n");

// --- Value formats ------------------------------------------------------------------------

// At most 15 significant digits, "." as separator, exponent form for very small or large
// magnitudes ("0.7", "1E-05").
QString DecimalXML(double value);
// The leading number of the text ("." as separator); 0 when there is none. Never fails.
double ReadDecimalXML(QStringView text);
// Whole numbers; empty or non-numeric text raises TypeMismatch, a value out of range Overflow.
qint16 ReadIntegerXML(QStringView text);
qint32 ReadLongXML(QStringView text);
// "true"/"false" in any letter case, or a number (0 false); anything else raises TypeMismatch.
bool ReadBooleanXML(QStringView text);
// "true" / "false", and the capitalised "True" / "False" a few fields use.
QString BooleanXML(bool value);
QString BooleanWordXML(bool value);

// Red + 256 x Green + 65536 x Blue, each part held to 0..255.
qint32 ColourValue(const clsColour& colour);

// --- Element lines --------------------------------------------------------------------------

// "<tag>" + content + "</tag>" on one line.
QString ElementLineXML(QStringView tag, const QString& content);

// --- Formatted text, fonts and colours ------------------------------------------------------

// The "string", "font" and "colour" lines of a label, each only where it differs from a new
// label (empty text, default font, colour 0). The caller writes the element around them.
QString WriteStringXML(const TextLabel& label);
// A new label from the first element `tag` of the text (case-sensitive); as made when the
// element is missing.
std::shared_ptr<TextLabel> ReadStringXML(QStringView text, const QString& tag);
// The same into an existing label, whatever it held before.
void ReadStringXML(QStringView text, const QString& tag, TextLabel& label);
// "<tag>", the label's string block, "</tag>", each on a line of its own, when the label has
// plain text; nothing otherwise (nor for a missing label).
QString WriteLabelElementXML(QStringView tag, const std::shared_ptr<TextLabel>& label);

// "<font  face='...' size='..' .../>" with the attributes that differ from a new font; empty
// when none does.
QString WriteFontXML(const FontProperties& font);
// The first font element's attributes over a new font.
std::shared_ptr<FontProperties> ReadFontXML(QStringView text);

// "<colour red='r' green='g' blue='b'/>" from the three low bytes of the value.
QString WriteColourXML(qint32 value);
// The first colour element; none without one.
std::optional<clsColour> ReadColourXML(QStringView text);

// --- Lists ----------------------------------------------------------------------------------

// Answers numbered from 1 in order, each with its plain text, font and colour.
QString WriteAnswerXML(const Collection<std::shared_ptr<TextLabel>>& answers);
// Every answer element, ordered by its index; answers without a usable index follow in
// reading order. None is dropped.
Collection<std::shared_ptr<TextLabel>> ReadAnswerXML(QStringView text);

// Name and value text of each property; a property whose value has no text is left out.
QString WritePropertyXML(const Collection<std::shared_ptr<Property>>& properties);
Collection<std::shared_ptr<Property>> ReadPropertyXML(QStringView text);

QString WriteControlXML(const Collection<std::shared_ptr<clsControl>>& controls);
// Keyed by name; a control whose name is already taken (in any letter case) is left out.
Collection<std::shared_ptr<clsControl>> ReadControlXML(QStringView text);

// Each link with its target's GUID, weights and forcing flags; a link without a target is
// left out.
QString WriteLinkXML(const Collection<std::shared_ptr<Link>>& links);
// New links holding their target's GUID in NodeGUIDRef; a missing weight reads 0, a
// missing or unreadable flag false.
Collection<std::shared_ptr<Link>> ReadLinkXML(QStringView text);
// The same from the tags of the text, already indexed.
Collection<std::shared_ptr<Link>> ReadLinkXML(const basXML::XMLTags& tags);

} // namespace basKelvaneXML
