#include "network/NetworkXMLWriter.h"

#include "model/Layer.h"
#include "model/Node.h"
#include "model/xml/basKelvaneXML.h"
#include "model/xml/basXML.h"
#include "network/NodePlaces.h"
#include "network/StoredPassword.h"
#include "network/clsNetwork.h"
#include "platform/RuntimeError.h"

namespace kelvane {

using basKelvaneXML::ElementLineXML;
using basKelvaneXML::WriteLabelElementXML;
using basKelvaneXML::kLineEnd;

namespace {

QString open(const char* tag) { return u'<' + QLatin1String(tag) + u'>' + kLineEnd; }
QString close(const char* tag) { return QStringLiteral("</") + QLatin1String(tag) + u'>' + kLineEnd; }

// A plain text as one escaped line inside the element, when not empty.
QString textElement(const char* tag, const char* inner, const QString& value)
{
    if (value.isEmpty())
        return {};
    return open(tag) + ElementLineXML(QString::fromLatin1(inner), basXML::EscapeXMLText(value)) + close(tag);
}

QString typeAttribute(qint16 networkType)
{
    switch (networkType) {
    case 0: return QStringLiteral("type='knowledgetemplate' ");
    case 1: return QStringLiteral("type='knowledgebase' ");
    case 2: return QStringLiteral("type='knowledgescenario' ");
    default: return {};
    }
}

} // namespace

QString NetworkXMLWriter::text(QString before) const
{
    QString text = std::move(before);
    text += networkElement();
    NodePlaces places; // each layer's places found once, not once per node
    for (const auto& layer : m_network.Layers()) {
        if (!layer)
            raiseError(err::ObjectNotSet);
        for (const auto& node : layer->Nodes()) {
            QString element;
            if (node)
                element = node->Layer.expired() ? node->SerializeOutXML() : node->SerializeOutXML(places.of(*node));
            if (element.isEmpty())
                raiseError(err::ObjectNotSet, QStringLiteral("A node of the network cannot be written."));
            text += element;
            text += kLineEnd;
            text += kLineEnd;
        }
    }
    return text;
}

QString NetworkXMLWriter::networkElement() const
{
    clsNetwork& n = m_network;
    QString xml = QStringLiteral("<network ") + typeAttribute(n.NetworkType) + QStringLiteral("networkguid='")
        + basXML::EscapeXMLAttribute(n.GUID()) + QStringLiteral("'>") + kLineEnd;
    xml += WriteLabelElementXML(u"networkname", n.Name());
    xml += WriteLabelElementXML(u"networkdescription", n.KBDescription());
    xml += textElement("scenarioname", "string", n.ScenarioName());
    xml += textElement("scenariodescription", "string", n.Description);
    xml += textElement("splash", "image", n.Picture);
    xml += WriteLabelElementXML(u"author", n.Author());
    xml += WriteLabelElementXML(u"copyright", n.Copyright());
    if (!n.Password.isEmpty())
        xml += ElementLineXML(u"key", StoredPassword::Scramble(n.Password));
    if (!n.EditorPassword.isEmpty())
        xml += ElementLineXML(u"subkey", StoredPassword::Scramble(n.EditorPassword));
    if (n.PollingInterval != 0)
        xml += ElementLineXML(u"pollinginterval", QString::number(n.PollingInterval));
    xml += ElementLineXML(u"lastmodified", basXML::EscapeXMLText(n.Version()));
    if (!n.SupportURL.isEmpty())
        xml += ElementLineXML(u"supportlink", basXML::EscapeXMLText(n.SupportURL));
    xml += ElementLineXML(u"autoanswer", basKelvaneXML::BooleanWordXML(n.AutoAnswer));
    xml += ElementLineXML(u"showanswer", basKelvaneXML::BooleanWordXML(n.ShowAnswer));
    xml += displayScheme();
    xml += basKelvaneXML::WritePropertyXML(n.Properties);
    xml += basKelvaneXML::WriteControlXML(n.Controls);
    xml += close("network") + kLineEnd;
    return xml;
}

QString NetworkXMLWriter::displayScheme() const
{
    const clsNetwork& n = m_network;
    const bool hasBackground = !n.Background.isEmpty() || n.BackColour != -1;
    if (!hasBackground && n.HighlightColour == -1 && n.ShadowColour == -1)
        return {};
    QString xml = open("displayscheme");
    if (hasBackground) {
        xml += open("background");
        if (!n.Background.isEmpty())
            xml += ElementLineXML(u"image", basXML::EscapeXMLText(n.Background));
        if (n.BackColour != -1)
            xml += basKelvaneXML::WriteColourXML(n.BackColour);
        xml += close("background");
    }
    if (n.HighlightColour != -1)
        xml += open("highlightcolour") + basKelvaneXML::WriteColourXML(n.HighlightColour) + close("highlightcolour");
    if (n.ShadowColour != -1)
        xml += open("shadowcolour") + basKelvaneXML::WriteColourXML(n.ShadowColour) + close("shadowcolour");
    xml += close("displayscheme");
    return xml;
}

} // namespace kelvane
