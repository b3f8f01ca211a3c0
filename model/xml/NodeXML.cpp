// The node element of a knowledge-base document: Node::SerializeOutXML and Node::SerializeInXML.

#include "model/AbstractNetwork.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/Property.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/clsControl.h"
#include "model/xml/basKelvaneXML.h"
#include "model/xml/XMLTagIndex.h"
#include "model/xml/basXML.h"

#include <cmath>

namespace kelvane {

using namespace basKelvaneXML;

namespace {

constexpr char kModule[] = "Node";

} // namespace

QString Node::SerializeOutXML(std::optional<qint32> place)
{
    return trapped(kModule, "SerializeOutXML", QString(), [&] {
        const auto layer = Layer.lock();
        if (!layer)
            raiseError(err::ObjectNotSet);

        QString xml = QStringLiteral("<node nodeguid='") + basXML::EscapeXMLAttribute(GUID) + QStringLiteral("'>") + kLineEnd;
        xml += QStringLiteral("<nodename>") + kLineEnd + WriteStringXML(*NameLabel()) + QStringLiteral("</nodename>") + kLineEnd;
        if (Color != 0)
            xml += QStringLiteral("<nodedisplay>") + kLineEnd + WriteColourXML(Color) + QStringLiteral("</nodedisplay>") + kLineEnd;
        xml += ElementLineXML(u"layerindex", QString::number(layer->Index));
        xml += ElementLineXML(u"nodeindex", QString::number(place ? *place : Index()));
        xml += WriteLabelElementXML(u"question", Question);
        xml += WriteAnswerXML(Answers);
        xml += WriteLabelElementXML(u"reason", Reason);
        xml += WriteLabelElementXML(u"justification", Justification);
        if (!NoDefault)
            xml += ElementLineXML(u"defaultanswervalue", DecimalXML(Default));
        if (Plural)
            xml += ElementLineXML(u"plural", BooleanWordXML(true));
        if (AutoAnswer)
            xml += ElementLineXML(u"autoanswer", BooleanWordXML(true));
        xml += ElementLineXML(u"default", BooleanXML(!NoDefault));
        if (!MoreInfo().isEmpty())
            xml += ElementLineXML(u"moreinfo", basXML::EscapeXMLText(MoreInfo()));
        if (Disabled)
            xml += ElementLineXML(u"disabled", BooleanXML(true));
        if (Answered) {
            xml += ElementLineXML(u"answered", BooleanXML(true));
            xml += ElementLineXML(u"answervalue", DecimalXML(Answer()));
            xml += ElementLineXML(u"degreeoftruth", DecimalXML(DOT));
        }
        if (Overridden())
            xml += ElementLineXML(u"overwritten", BooleanXML(true));
        if (External()) {
            xml += QStringLiteral("<external linkedkb='") + basXML::EscapeXMLAttribute(ExternalFile)
                + QStringLiteral("' networkguidref='") + basXML::EscapeXMLAttribute(ExternalNetworkGUID)
                + QStringLiteral("' nodeguidref='") + basXML::EscapeXMLAttribute(ExternalGUID())
                + QStringLiteral("'>true</external>") + kLineEnd;
        }
        xml += WritePropertyXML(Properties);
        xml += WriteLinkXML(Links());
        xml += WriteControlXML(Controls());
        xml += QStringLiteral("</node>");
        return xml;
    });
}

bool Node::SerializeInXML(QStringView element, HeldErrors& errors)
{
    // Looks up the first element of that name anywhere in the node element.
    const basXML::XMLTagIndex tags(element);
    // A value as a view; made a text of its own only when its text form has something to undo.
    // Each view is read before the next value is looked up.
    QString storage;
    const auto value = [&tags, &storage](QStringView tag) { return tags.value(tag, storage); };
    // Each field is read on its own: a failing step's error is held, and the fields after it
    // are still read.
    bool allRead = true;
    const auto read = [&](auto&& step) { allRead = errors.trappedVoid(kModule, "SerializeInXML", step) && allRead; };

    read([&] {
        const QString guid = basXML::GetXMLAttribute(element, QStringLiteral("node"), QStringLiteral("nodeguid"));
        const auto network = Network.lock();
        if (network && network->NewGUIDs())
            OldGUID = guid; // the node keeps the GUID it was made with
        else
            GUID = guid;
    });
    // The elements a node lacks are not looked for through all of its text; a text label the
    // element lacks stays the empty one the node was made with. An element read fills that
    // label: the new node's labels are its own.
    const auto readLabel = [&](std::shared_ptr<TextLabel>& label, const QString& tag) {
        if (!label)
            label = std::make_shared<TextLabel>();
        if (tags.contains(tag))
            ReadStringXML(element, tag, *label);
    };
    read([&] { readLabel(m_nameLabel, QStringLiteral("nodename")); });
    read([&] {
        if (const auto colour = ReadColourXML(value(u"nodedisplay")))
            Color = ColourValue(*colour);
    });
    read([&] { LayerIndex = ReadIntegerXML(value(u"layerindex")); });
    read([&] { NodeIndex = ReadLongXML(value(u"nodeindex")); });
    read([&] { readLabel(Question, QStringLiteral("question")); });
    read([&] { Answers = tags.contains(u"answer") ? ReadAnswerXML(element) : Collection<std::shared_ptr<TextLabel>>(); });
    read([&] { readLabel(Reason, QStringLiteral("reason")); });
    read([&] { readLabel(Justification, QStringLiteral("justification")); });
    read([&] {
        const QStringView text = value(u"defaultanswervalue");
        if (!text.isEmpty())
            Default = std::fabs(ReadDecimalXML(text));
    });
    read([&] {
        const QStringView text = value(u"plural");
        if (!text.isEmpty())
            Plural = ReadBooleanXML(text);
    });
    read([&] {
        const QStringView text = value(u"autoanswer");
        if (!text.isEmpty())
            AutoAnswer = ReadBooleanXML(text);
    });
    read([&] {
        const QStringView text = value(u"default");
        NoDefault = text.isEmpty() || !ReadBooleanXML(text);
    });
    read([&] { setMoreInfo(tags.value(u"moreinfo")); });
    read([&] {
        const QStringView text = value(u"disabled");
        if (!text.isEmpty())
            Disabled = ReadBooleanXML(text);
    });
    read([&] {
        const QStringView text = value(u"answered");
        if (!text.isEmpty())
            Answered = ReadBooleanXML(text);
    });
    read([&] {
        const QStringView text = value(u"answervalue");
        if (!text.isEmpty()) {
            // The answer setter's work: the node has no parents or higher-level nodes yet to
            // pass the answer on to.
            DOT = ReadDecimalXML(text);
            Answered = true;
        }
    });
    read([&] {
        const QStringView text = value(u"degreeoftruth");
        if (!text.isEmpty())
            DOT = ReadDecimalXML(text);
    });
    read([&] {
        const QStringView text = value(u"overwritten");
        if (!text.isEmpty())
            setOverridden(ReadBooleanXML(text));
    });
    read([&] {
        const bool external = tags.containsPrefix(u"external");
        setExternal(external);
        if (external) {
            const QString tag = QStringLiteral("external");
            ExternalFile = basXML::GetXMLAttribute(element, tag, QStringLiteral("linkedkb"));
            ExternalNetworkGUID = basXML::GetXMLAttribute(element, tag, QStringLiteral("networkguidref"));
            setExternalGUID(basXML::GetXMLAttribute(element, tag, QStringLiteral("nodeguidref")));
        }
    });
    read([&] { Properties = tags.contains(u"property") ? ReadPropertyXML(element) : Collection<std::shared_ptr<Property>>(); });
    read([&] { Links() = tags.containsPrefix(u"link") ? ReadLinkXML(tags) : Collection<std::shared_ptr<Link>>(); });
    read([&] {
        Controls() = tags.contains(u"control", u' ') ? ReadControlXML(element) : Collection<std::shared_ptr<clsControl>>();
    });
    return allRead;
}

} // namespace kelvane
