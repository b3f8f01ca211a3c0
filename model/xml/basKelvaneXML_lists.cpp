#include "model/xml/basKelvaneXML.h"

#include "model/FontProperties.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/Property.h"
#include "model/TextLabel.h"
#include "model/clsControl.h"
#include "model/xml/XMLTagIndex.h"
#include "model/xml/basXML.h"
#include "platform/Conversions.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace basKelvaneXML {

namespace {

// Calls `visit` with each piece of the text from an occurrence of `start` to the first
// `end` after it, continuing after that piece.
template <class Visit>
void forEachElement(QStringView text, QStringView start, QStringView end, Visit&& visit)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(start, from);
        if (open < 0)
            return;
        const qsizetype close = text.indexOf(end, open);
        if (close < 0)
            return;
        from = close + end.size();
        visit(text.mid(open, from - open));
    }
}

double decimalOf(const basXML::XMLTags& element, QStringView tag)
{
    QString storage;
    return ReadDecimalXML(element.value(tag, storage));
}

bool flagOf(const basXML::XMLTags& element, QStringView tag)
{
    try {
        QString storage;
        return ReadBooleanXML(element.value(tag, storage));
    } catch (const kelvane::RuntimeError&) {
        return false; // missing or unreadable
    }
}

// The answer's index when it is a whole number.
std::optional<double> indexOf(QStringView element)
{
    try {
        const double index = kelvane::conv::toDouble(basXML::GetXMLValue(element, QStringLiteral("index")));
        if (index == std::floor(index))
            return index;
    } catch (const kelvane::RuntimeError&) {
    }
    return std::nullopt;
}

} // namespace

QString WriteAnswerXML(const Collection<std::shared_ptr<TextLabel>>& answers)
{
    QString lines;
    qsizetype number = 0;
    for (const auto& answer : answers) {
        ++number;
        const TextLabel empty;
        const TextLabel& label = answer ? *answer : empty;
        lines += QStringLiteral("<answer>") + kLineEnd;
        lines += ElementLineXML(u"index", QString::number(number));
        lines += ElementLineXML(u"string", basXML::EscapeXMLText(label.Text()));
        lines += WriteFontXML(label.fontOrDefaults());
        lines += WriteColourXML(label.ForeColor);
        lines += QStringLiteral("</answer>") + kLineEnd;
    }
    return lines;
}

Collection<std::shared_ptr<TextLabel>> ReadAnswerXML(QStringView text)
{
    struct ReadAnswer {
        std::optional<double> index;
        std::shared_ptr<TextLabel> label;
    };
    std::vector<ReadAnswer> read;
    forEachElement(text, u"<answer>", u"</answer>", [&](QStringView element) {
        read.push_back({indexOf(element), ReadStringXML(element, QStringLiteral("answer"))});
    });
    std::stable_sort(read.begin(), read.end(), [](const ReadAnswer& a, const ReadAnswer& b) {
        if (a.index.has_value() != b.index.has_value())
            return a.index.has_value();
        return a.index.has_value() && *a.index < *b.index;
    });
    Collection<std::shared_ptr<TextLabel>> answers;
    for (auto& answer : read)
        answers.Add(std::move(answer.label));
    return answers;
}

QString WritePropertyXML(const Collection<std::shared_ptr<Property>>& properties)
{
    QString lines;
    for (const auto& property : properties) {
        if (!property)
            continue;
        QString value;
        try {
            value = property->Value.toString();
        } catch (const kelvane::RuntimeError&) {
            continue; // an object has no text to store
        }
        lines += QStringLiteral("<property>") + kLineEnd;
        lines += ElementLineXML(u"propertyname", basXML::EscapeXMLText(property->Name));
        lines += ElementLineXML(u"propertyvalue", basXML::EscapeXMLText(value));
        lines += QStringLiteral("</property>") + kLineEnd;
    }
    return lines;
}

Collection<std::shared_ptr<Property>> ReadPropertyXML(QStringView text)
{
    Collection<std::shared_ptr<Property>> properties;
    forEachElement(text, u"<property>", u"</property>", [&](QStringView element) {
        auto property = std::make_shared<Property>();
        property->Name = basXML::GetXMLValue(element, QStringLiteral("propertyname"));
        property->Value = basXML::GetXMLValue(element, QStringLiteral("propertyvalue"));
        properties.Add(std::move(property));
    });
    return properties;
}

QString WriteControlXML(const Collection<std::shared_ptr<clsControl>>& controls)
{
    QString lines;
    for (const auto& control : controls) {
        if (!control)
            continue;
        lines += QStringLiteral("<control type='") + basXML::EscapeXMLAttribute(control->ControlType) + QStringLiteral("'>") + kLineEnd;
        lines += ElementLineXML(u"name", basXML::EscapeXMLText(control->Name));
        lines += ElementLineXML(u"value", basXML::EscapeXMLText(control->Value));
        lines += ElementLineXML(u"default", basXML::EscapeXMLText(control->Default));
        lines += QStringLiteral("</control>") + kLineEnd;
    }
    return lines;
}

Collection<std::shared_ptr<clsControl>> ReadControlXML(QStringView text)
{
    Collection<std::shared_ptr<clsControl>> controls;
    forEachElement(text, u"<control ", u"</control>", [&](QStringView element) {
        auto control = std::make_shared<clsControl>();
        control->ControlType = basXML::GetXMLAttribute(element, QStringLiteral("control"), QStringLiteral("type"));
        control->Name = basXML::GetXMLValue(element, QStringLiteral("name"));
        control->Value = basXML::GetXMLValue(element, QStringLiteral("value"));
        control->Default = basXML::GetXMLValue(element, QStringLiteral("default"));
        if (!controls.Contains(control->Name))
            controls.Add(control, control->Name);
    });
    return controls;
}

QString WriteLinkXML(const Collection<std::shared_ptr<Link>>& links)
{
    QString lines;
    for (const auto& link : links) {
        if (!link || !link->ConnectionTo)
            continue;
        lines += QStringLiteral("<link nodeguidref='") + basXML::EscapeXMLAttribute(link->ConnectionTo->GUID)
            + QStringLiteral("'>") + kLineEnd;
        lines += ElementLineXML(u"weightaffirm", DecimalXML(link->WeightAffirm));
        lines += ElementLineXML(u"weight", DecimalXML(link->Weight));
        lines += ElementLineXML(u"weightdeny", DecimalXML(link->WeightDeny));
        lines += ElementLineXML(u"alwaysaffirm", BooleanXML(link->AlwaysAffirm));
        lines += ElementLineXML(u"alwaysdeny", BooleanXML(link->AlwaysDeny));
        lines += QStringLiteral("</link>") + kLineEnd;
    }
    return lines;
}

Collection<std::shared_ptr<Link>> ReadLinkXML(QStringView text)
{
    return ReadLinkXML(basXML::XMLTagIndex(text));
}

Collection<std::shared_ptr<Link>> ReadLinkXML(const basXML::XMLTags& tags)
{
    // The elements are found first, so that the links are stored with room made once rather
    // than grown link by link.
    const auto elements = tags.elements(u"link");
    Collection<std::shared_ptr<Link>> links;
    links.Reserve(elements.size());
    for (const basXML::XMLTags& element : elements) {
        auto link = std::make_shared<Link>();
        link->NodeGUIDRef = basXML::GetXMLAttribute(element.text(), u"link", u"nodeguidref");
        link->WeightAffirm = decimalOf(element, u"weightaffirm");
        link->Weight = decimalOf(element, u"weight");
        link->WeightDeny = decimalOf(element, u"weightdeny");
        link->AlwaysAffirm = flagOf(element, u"alwaysaffirm");
        link->AlwaysDeny = flagOf(element, u"alwaysdeny");
        links.Add(std::move(link));
    }
    return links;
}

} // namespace basKelvaneXML
