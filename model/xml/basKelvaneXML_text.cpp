#include "model/xml/basKelvaneXML.h"

#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "model/xml/basXML.h"
#include "platform/Conversions.h"
#include "platform/RuntimeError.h"

namespace basKelvaneXML {

namespace {

// Runs one attribute's assignment; an unreadable value leaves the member as it was.
template <class Assign>
void readAttribute(Assign&& assign)
{
    try {
        assign();
    } catch (const kelvane::RuntimeError&) {
    }
}

// The attribute text of the first self-closing element that begins with `startTag`
// (which includes the blank after the name), up to its "/>"; nothing without both.
std::optional<QStringView> selfClosingAttributes(QStringView text, QStringView elementName, QStringView startTag)
{
    const qsizetype at = text.indexOf(elementName);
    if (at < 0)
        return std::nullopt;
    const qsizetype close = text.indexOf(u"/>", at);
    if (close < 0)
        return std::nullopt;
    const qsizetype first = at + startTag.size();
    return first <= close ? text.mid(first, close - first) : QStringView();
}

// The attribute text of the first font element.
std::optional<QStringView> fontAttributes(QStringView text)
{
    return selfClosingAttributes(text, u"<font", u"<font ");
}

} // namespace

QString ElementLineXML(QStringView tag, const QString& content)
{
    // Made in one piece: documents hold several of these lines for every node and link.
    QString line;
    line.reserve(2 * tag.size() + content.size() + 5 + kLineEnd.size());
    line += u'<';
    line += tag;
    line += u'>';
    line += content;
    line += u"</";
    line += tag;
    line += u'>';
    line += kLineEnd;
    return line;
}

QString WriteLabelElementXML(QStringView tag, const std::shared_ptr<TextLabel>& label)
{
    if (!label || label->Text().isEmpty())
        return {};
    const QString name = tag.toString();
    return u'<' + name + u'>' + kLineEnd + WriteStringXML(*label) + QStringLiteral("</") + name + u'>' + kLineEnd;
}

QString WriteStringXML(const TextLabel& label)
{
    QString lines;
    if (!label.HTML.isEmpty())
        lines += QStringLiteral("<string>") + basXML::EscapeXMLText(label.HTML) + QStringLiteral("</string>") + kLineEnd;
    lines += WriteFontXML(label.fontOrDefaults());
    if (label.ForeColor != 0)
        lines += WriteColourXML(label.ForeColor);
    return lines;
}

std::shared_ptr<TextLabel> ReadStringXML(QStringView text, const QString& tag)
{
    auto label = std::make_shared<TextLabel>();
    ReadStringXML(text, tag, *label);
    return label;
}

void ReadStringXML(QStringView text, const QString& tag, TextLabel& label)
{
    label = TextLabel();
    const basXML::XMLTag tags(tag);
    const QStringView startTag = tags.bare();
    const qsizetype open = text.indexOf(startTag);
    if (open < 0)
        return;
    const qsizetype close = text.indexOf(tags.end(), open);
    if (close < 0)
        return;
    const qsizetype first = open + startTag.size();
    const QStringView content = text.mid(first, close - first);
    label.HTML = basXML::GetXMLValue(content, QStringLiteral("string"));
    // Without a font element the label is left without a font: the one it is given when first
    // asked for has the defaults, as a font read from nothing has.
    if (fontAttributes(content))
        label.setFont(ReadFontXML(content));
    if (const auto colour = ReadColourXML(content))
        label.ForeColor = ColourValue(*colour);
}

QString WriteFontXML(const FontProperties& font)
{
    const FontProperties standard;
    QString attributes;
    if (font.Name != standard.Name)
        attributes += QStringLiteral(" face='") + basXML::EscapeXMLAttribute(font.Name) + u'\'';
    if (font.Size != standard.Size)
        attributes += QStringLiteral(" size='") + QString::number(font.Size) + u'\'';
    const auto flag = [&](const char16_t* name, bool value, bool standardValue) {
        if (value != standardValue)
            attributes += u' ' + QString::fromUtf16(name) + QStringLiteral("='") + BooleanXML(value) + u'\'';
    };
    flag(u"bold", font.Bold, standard.Bold);
    flag(u"italic", font.Italic, standard.Italic);
    flag(u"underline", font.Underline, standard.Underline);
    flag(u"strikethru", font.Strikethru, standard.Strikethru);
    if (attributes.isEmpty())
        return {};
    return QStringLiteral("<font ") + attributes + QStringLiteral("/>") + kLineEnd;
}

std::shared_ptr<FontProperties> ReadFontXML(QStringView text)
{
    auto font = std::make_shared<FontProperties>();
    const auto attributeText = fontAttributes(text);
    if (!attributeText)
        return font;
    for (const basXML::Attribute& attribute : basXML::SplitAttributes(*attributeText)) {
        const QString name = attribute.name.toUpper();
        readAttribute([&] {
            if (name == u"FACE")
                font->Name = basXML::UnescapeXMLAttribute(attribute.value);
            else if (name == u"SIZE")
                font->Size = ReadIntegerXML(attribute.value);
            else if (name == u"BOLD")
                font->Bold = ReadBooleanXML(attribute.value);
            else if (name == u"ITALIC")
                font->Italic = ReadBooleanXML(attribute.value);
            else if (name == u"UNDERLINE")
                font->Underline = ReadBooleanXML(attribute.value);
            else if (name == u"STRIKETHRU")
                font->Strikethru = ReadBooleanXML(attribute.value);
        });
    }
    return font;
}

QString WriteColourXML(qint32 value)
{
    const auto byte = [value](int shift) { return QString::number((static_cast<quint32>(value) >> shift) & 0xFF); };
    return QStringLiteral("<colour red='") + byte(0) + QStringLiteral("' green='") + byte(8)
        + QStringLiteral("' blue='") + byte(16) + QStringLiteral("'/>") + kLineEnd;
}

std::optional<clsColour> ReadColourXML(QStringView text)
{
    const auto attributeText = selfClosingAttributes(text, u"<colour", u"<colour ");
    if (!attributeText)
        return std::nullopt;
    clsColour colour;
    for (const basXML::Attribute& attribute : basXML::SplitAttributes(*attributeText)) {
        const QString name = attribute.name.toUpper();
        readAttribute([&] {
            const auto part = [&] { return kelvane::conv::toInt16(ReadLongXML(attribute.value)); };
            if (name == u"RED")
                colour.Red = part();
            else if (name == u"GREEN")
                colour.Green = part();
            else if (name == u"BLUE")
                colour.Blue = part();
        });
    }
    return colour;
}

} // namespace basKelvaneXML
