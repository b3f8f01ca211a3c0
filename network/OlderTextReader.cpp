#include "network/OlderTextReader.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/oldtext/OlderTextStatement.h"
#include "network/NetworkSupport.h"
#include "network/StoredPassword.h"
#include "network/clsNetwork.h"
#include "platform/Conversions.h"
#include "platform/TextEncoding.h"

#include <optional>

namespace kelvane {

namespace {

// The characters of a piece of the text: a piece of characters as it is, a piece of a file's
// bytes one character each in the ANSI code page.
QString textOf(QStringView piece) { return piece.toString(); }
QString textOf(QByteArrayView ansiPiece)
{
    return platform::encoding::fromAnsi(QByteArray::fromRawData(ansiPiece.data(), ansiPiece.size()));
}

qsizetype indexIn(QStringView text, char c, qsizetype from) { return text.indexOf(QLatin1Char(c), from); }
qsizetype indexIn(QByteArrayView text, char c, qsizetype from) { return text.indexOf(c, from); }

// A reading position in the text that moves past each block it hands out. The text is either
// characters (QStringView) or a file's bytes (QByteArrayView): only the blocks handed out are
// made into characters, never the whole text.
template <class Text>
class Cursor {
public:
    struct Block {
        Text before;     // the text between the previous position and the block's "{"
        QString content; // between the braces, nested blocks kept whole
    };

    explicit Cursor(Text text) : m_text(text) {}

    // Moves past the next `c`; stays when there is none.
    void skipPast(char c)
    {
        const qsizetype at = indexIn(m_text, c, m_position);
        if (at >= 0)
            m_position = at + 1;
    }

    bool hasOpening() const { return indexIn(m_text, '{', m_position) >= 0; }

    // The next block, and the position after its closing brace; none when no "{" follows
    // or its block is never closed (the text was cut short).
    std::optional<Block> next()
    {
        const qsizetype open = indexIn(m_text, '{', m_position);
        if (open < 0)
            return std::nullopt;
        int depth = 0;
        for (qsizetype i = open; i < m_text.size(); ++i) {
            if (m_text[i] == u'{') {
                ++depth;
            } else if (m_text[i] == u'}' && --depth == 0) {
                Block block {m_text.sliced(m_position, open - m_position), textOf(m_text.sliced(open + 1, i - open - 1))};
                m_position = i + 1;
                return block;
            }
        }
        return std::nullopt;
    }

    Text rest() const { return m_text.sliced(m_position); }

private:
    Text m_text;
    qsizetype m_position = 0;
};

[[noreturn]] void raiseMalformed(const QString& description)
{
    raiseError(err::InvalidFileFormat, description);
}

// How link headers write a node's name: blanks as "_", line breaks as "<<VBCR>>".
QString linkHeaderForm(const QString& name)
{
    QString form = name;
    form.replace(u' ', u'_');
    return basLibrary::ReplaceAll(form, QStringLiteral("\r"), QStringLiteral("<<VBCR>>"));
}

} // namespace

OlderTextReader::OlderTextReader(clsNetwork& network)
    : m_network(network), m_properties(QStringLiteral("Ubo_Property_"), networksupport::kModule)
{
}

bool OlderTextReader::read(QString& text)
{
    const QString held = text; // the text read, whatever becomes of the caller's string meanwhile
    Cursor<QStringView> cursor(held);
    const bool result = readRecords(cursor);
    text = cursor.rest().toString();
    return result;
}

bool OlderTextReader::read(const QByteArray& ansiText)
{
    const QByteArray held = ansiText;
    Cursor<QByteArrayView> cursor(held);
    return readRecords(cursor);
}

template <class Records>
bool OlderTextReader::readRecords(Records& cursor)
{
    // Two header chunks, each ending in "}", come before the network block.
    cursor.skipPast('}');
    cursor.skipPast('}');
    const auto networkBlock = cursor.next();
    if (!networkBlock)
        raiseMalformed(QStringLiteral("The text holds no complete network block."));
    for (const QString& statement : OlderTextStatement::split(networkBlock->content)) {
        bool accepted = true;
        OlderTextStatement::carryOut(statement, [&](const OlderTextStatement& s) {
            accepted = readNetworkStatement(s);
            if (accepted) {
                readScenarioStatement(s);
                m_properties.apply(s, m_network.Properties);
            }
        });
        if (!accepted)
            return false;
    }

    for (int added = 0; added < m_layerCount; ++added) {
        if (!m_network.AddLayer())
            raiseError(err::InvalidProcedureCall, QStringLiteral("A layer could not be added."));
    }

    for (int record = 1; record <= m_nodeCount; ++record) {
        const auto block = cursor.next();
        if (!block)
            raiseMalformed(QStringLiteral("The text ends before node record %1 of %2.").arg(record).arg(m_nodeCount));
        readNode(record, block->content);
    }

    while (cursor.hasOpening()) {
        const auto block = cursor.next();
        if (!block)
            raiseMalformed(QStringLiteral("The last link record is cut short."));
        readLink(textOf(block->before), block->content);
    }

    // A network of this form always draws with the user's own colours.
    for (qint32* colour : {&m_network.BackColour, &m_network.NodeColour, &m_network.HighlightColour,
                           &m_network.ShadowColour, &m_network.PositiveColour, &m_network.NegativeColour})
        *colour = -1;
    return true;
}

bool OlderTextReader::readNetworkStatement(const OlderTextStatement& s)
{
    clsNetwork& network = m_network;
    const QString& value = s.value();
    if (s.is(u"KBDESCRIPTION"))
        network.KBDescription()->setText(OlderTextStatement::withLineBreaks(value));
    else if (s.is(u"PICTURE"))
        network.Picture = OlderTextStatement::pathBeside(m_network.FileName(), value);
    else if (s.is(u"BACKGROUND"))
        network.Background = OlderTextStatement::pathBeside(m_network.FileName(), value);
    else if (s.is(u"LAYERS"))
        m_layerCount = OlderTextStatement::toInteger(value);
    else if (s.is(u"NODES"))
        m_nodeCount = OlderTextStatement::toInteger(value);
    else if (s.is(u"LAST MODIFIED"))
        network.setVersion(value);
    else if (s.is(u"NAME"))
        network.Name()->setText(value);
    else if (s.is(u"KEY"))
        return passwordAccepted(s, network.Password, QStringLiteral("Knowledge Base Password"));
    else if (s.is(u"SUBKEY")) {
        if (StoredPassword::EditorPasswordSkipped())
            return true;
        return passwordAccepted(s, network.EditorPassword, QStringLiteral("Editor Password"));
    } else if (s.is(u"AUTHOR"))
        network.Author()->setText(value);
    else if (s.is(u"COPYRIGHT"))
        network.Copyright()->setText(value);
    else if (s.is(u"BACKCOLOUR"))
        network.BackColour = OlderTextStatement::toLong(value);
    else if (s.is(u"NodeColour"))
        network.NodeColour = OlderTextStatement::toLong(value);
    else if (s.is(u"HighlightColour"))
        network.HighlightColour = OlderTextStatement::toLong(value);
    else if (s.is(u"ShadowColour"))
        network.ShadowColour = OlderTextStatement::toLong(value);
    else if (s.is(u"PositiveColour"))
        network.PositiveColour = OlderTextStatement::toLong(value);
    else if (s.is(u"NegativeColour"))
        network.NegativeColour = OlderTextStatement::toLong(value);
    else if (s.is(u"SUPPORT URL"))
        network.SupportURL = value;
    else if (s.is(u"POLLING INTERVAL")) {
        // accepted; this form does not keep the interval of the online mode
    } else if (s.is(u"More Info Root"))
        network.MoreInfoRoot = value;
    else if (s.is(u"Ubo_Properties"))
        network.Properties = {};
    else {
        struct LabelKeys {
            const char* prefix;
            const char* fontNameKey;
            std::shared_ptr<TextLabel> (clsNetwork::*label)() const;
        };
        static const LabelKeys labels[] = {
            {"Ubo_KBDescription", "Ubo_KBDescription_Font_KBDescription", &clsNetwork::KBDescription},
            {"Ubo_Name", "Ubo_Name_Font_Name", &clsNetwork::Name},
            {"Ubo_Author", "Ubo_Author_Font_Author", &clsNetwork::Author},
            {"Ubo_Copyright", "Ubo_Copyright_Font_Copyright", &clsNetwork::Copyright},
        };
        for (const auto& keys : labels) {
            if (s.setsLabelFormat(QString::fromLatin1(keys.prefix), QString::fromLatin1(keys.fontNameKey),
                                  [&] { return (network.*keys.label)(); }))
                break;
        }
    }
    return true;
}

void OlderTextReader::readScenarioStatement(const OlderTextStatement& s)
{
    if (s.is(u"scenario name"))
        m_network.setScenarioName(s.value());
    else if (s.is(u"description"))
        m_network.Description = OlderTextStatement::withLineBreaks(s.value());
}

bool OlderTextReader::passwordAccepted(const OlderTextStatement& s, QString& password, const QString& caption)
{
    if (s.value().isEmpty())
        return true;
    password = StoredPassword::Unscramble(s.value());
    m_network.PasswordRefused = !StoredPassword::Confirm(password, caption, m_network.Name()->Text());
    return !m_network.PasswordRefused;
}

void OlderTextReader::readNode(int record, const QString& block)
{
    auto node = std::make_shared<Node>();
    node->Network = m_network.weak_from_this();
    node->FileName = m_network.FileName();
    QString content = block;
    node->SerializeIn(content);

    auto& layers = m_network.Layers();
    if (node->LayerIndex < 1 || node->LayerIndex > layers.Count())
        raiseError(err::SubscriptOutOfRange, QStringLiteral("Node record %1 stands in layer %2, which the network lacks.")
                                                 .arg(record)
                                                 .arg(node->LayerIndex));
    const auto& layer = layers.Item(node->LayerIndex);
    node->Layer = layer;
    m_network.cintCounter = conv::add32(m_network.cintCounter, 1);
    node->NodeNumber = m_network.cintCounter;
    layer->Nodes().Add(std::move(node));
}

void OlderTextReader::readLink(const QString& header, const QString& values)
{
    const QStringList names = basLibrary::SplitDoubleQuoted(basLibrary::TextBetween(header, u'(', u')'), u'|', false);
    if (names.size() < 2)
        raiseMalformed(QStringLiteral("The link record %1 does not name two nodes.").arg(basLibrary::TrimBlanks(header)));
    const QStringList weights = basLibrary::SplitDoubleQuoted(values, u',', false);
    if (weights.size() < 2)
        raiseMalformed(QStringLiteral("The link record %1 holds fewer than two values.").arg(basLibrary::TrimBlanks(header)));

    auto link = std::make_shared<Link>();
    link->WeightAffirm = OlderTextStatement::scanNumber(weights[0]);
    link->WeightDeny = OlderTextStatement::scanNumber(weights[1]);
    link->AlwaysAffirm = link->WeightAffirm == 1.0 || link->WeightAffirm == 0.0;
    link->AlwaysDeny = link->WeightDeny == 1.0 || link->WeightDeny == 0.0;
    if (weights.size() < 3)
        link->Weight = (1.0 - link->WeightDeny + link->WeightAffirm) / 2.0;
    else
        link->Weight = OlderTextStatement::scanNumber(weights[2]);
    if (weights.size() > 3) {
        if (weights.size() < 5)
            raiseMalformed(QStringLiteral("The link record %1 has an AlwaysAffirm value but no AlwaysDeny value.")
                               .arg(basLibrary::TrimBlanks(header)));
        link->AlwaysAffirm = OlderTextStatement::toBoolean(basLibrary::TrimBlanks(weights[3]));
        QString alwaysDeny = weights[4];
        alwaysDeny.remove(u'\r');
        alwaysDeny.remove(u'\n');
        link->AlwaysDeny = OlderTextStatement::toBoolean(basLibrary::TrimBlanks(alwaysDeny));
    }

    // A name stands for the last node that carries it; a link without both ends is dropped.
    const auto target = nodeNamed(basLibrary::TrimBlanks(names[0]));
    const auto owner = nodeNamed(basLibrary::TrimBlanks(names[1]));
    if (!target || !owner)
        return;
    link->ConnectionTo = target;
    link->ConnectionFrom = owner;
    target->Parents().Add(owner);
    owner->Links().Add(std::move(link));
}

std::shared_ptr<Node> OlderTextReader::nodeNamed(const QString& name)
{
    if (!m_namesIndexed) {
        // The nodes are all read before the first link record, so one index serves them all.
        for (const auto& layer : m_network.Layers()) {
            for (const auto& node : layer->Nodes())
                m_lastNodeByName.insert(linkHeaderForm(node->Name()->Text()), node);
        }
        m_namesIndexed = true;
    }
    return m_lastNodeByName.value(name);
}

} // namespace kelvane
