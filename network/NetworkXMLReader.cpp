#include "network/NetworkXMLReader.h"

#include "model/AbstractHostDisplay.h"
#include "model/AbstractProgressBar.h"
#include "model/ErrorTrap.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/xml/XMLElementScan.h"
#include "model/xml/basKelvaneXML.h"
#include "model/xml/basXML.h"
#include "network/NetworkSupport.h"
#include "network/ReadNodeSet.h"
#include "network/StoredPassword.h"
#include "network/clsNetwork.h"
#include "platform/Conversions.h"
#include "platform/HostPath.h"
#include "platform/ParallelRanges.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kelvane {

using namespace basKelvaneXML;

namespace {

const QString kNetworkTag = QStringLiteral("network");

// Node elements are read side by side, a batch at a time, in ranges of a few nodes; each batch
// is kept in document order (with the progress shown and the message loop run as it goes)
// while the workers read the next one.
constexpr std::size_t kNodesPerBatch = 4096;
constexpr std::size_t kNodesPerRange = 32;

// A node read from its element, with the errors its fields gave, to be reported by the
// thread that reads the document.
struct NodeRead {
    std::shared_ptr<Node> node;
    HeldErrors errors;
};

struct NodeBatch {
    std::vector<QStringView> elements;
    std::vector<NodeRead> read;
};

// The next node elements the scan finds; none when the document has no more.
NodeBatch nextBatch(basXML::XMLElementScan& scan)
{
    NodeBatch batch;
    batch.elements = scan.take(kNodesPerBatch);
    return batch;
}

// Starts reading every node of the batch on the workers, their links naming nodes already kept
// by those nodes' GUID texts.
void startReading(platform::RangeWorkers& workers, NodeBatch& batch, const std::shared_ptr<clsNetwork>& network,
                  const ReadNodeSet& kept)
{
    batch.read.resize(batch.elements.size());
    workers.start(batch.elements.size(), kNodesPerRange, [&batch, &network, &kept](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            NodeRead& read = batch.read[i];
            // The GUID comes from the document; a node left without one gets a new one when kept.
            read.node = std::make_shared<Node>(QString());
            read.node->Network = network;
            // A node with unreadable fields is kept all the same.
            read.node->SerializeInXML(batch.elements[i], read.errors);
            kept.shareReferencesToNodesRead(*read.node);
        }
    });
}

QString value(QStringView content, const char* tag)
{
    return basXML::GetXMLValue(content, QString::fromLatin1(tag));
}

QStringView element(QStringView content, const char* tag)
{
    return basXML::GetXMLContent(content, QString::fromLatin1(tag));
}

// The image file named inside an element (splash, background).
QString imageIn(QStringView content, const char* tag)
{
    return value(element(content, tag), "image");
}

} // namespace

NetworkXMLReader::NetworkXMLReader(clsNetwork& network, AbstractProgressBar* progressBar)
    : m_network(network), m_progressBar(progressBar)
{
}

template <class Step>
void NetworkXMLReader::field(Step&& step)
{
    m_fieldsRead = trappedVoid(networksupport::kModule, "SerializeInXML", std::forward<Step>(step)) && m_fieldsRead;
}

bool NetworkXMLReader::read(QString& text)
{
    m_total = text.size();
    readIdentity(text);
    const QStringView content = basXML::GetXMLContent(text, kNetworkTag);
    readTexts(content);
    readPictures(content);
    field([&] { m_network.PollingInterval = conv::toInt16(ReadDecimalXML(value(content, "pollinginterval"))); });
    if (!passwordsAccepted(content)) {
        if (m_progressBar)
            m_progressBar->setValue(0);
        return false;
    }
    readSettings(content);
    readDisplayScheme(content);
    field([&] { m_network.Properties = ReadPropertyXML(content); });
    field([&] { m_network.Controls = ReadControlXML(content); });
    showProgress(content.size());

    ReadNodeSet nodes;
    readNodes(text, nodes, content.size());
    nodes.placeInto(m_network);
    if (m_progressBar)
        m_progressBar->setValue(0);
    m_shownPercent = 0;
    return m_fieldsRead;
}

void NetworkXMLReader::readIdentity(QStringView text)
{
    if (!m_network.NewGUIDs())
        m_network.setGUID(basXML::GetXMLAttribute(text, kNetworkTag, QStringLiteral("networkguid")));
    const QString type = basXML::GetXMLAttribute(text, kNetworkTag, QStringLiteral("type")).toUpper();
    if (type == u"KNOWLEDGETEMPLATE")
        m_network.NetworkType = 0;
    else if (type == u"KNOWLEDGEBASE")
        m_network.NetworkType = 1;
    else if (type == u"KNOWLEDGESCENARIO")
        m_network.NetworkType = 2;
    if (m_network.NewGUIDs())
        m_network.NetworkType = 2;
}

void NetworkXMLReader::readTexts(QStringView content)
{
    m_network.setName(ReadStringXML(content, QStringLiteral("networkname")));
    m_network.setKBDescription(ReadStringXML(content, QStringLiteral("networkdescription")));
    // The stored string itself: its text is not markup to be decoded a second time.
    m_network.setScenarioName(ReadStringXML(content, QStringLiteral("scenarioname"))->HTML);
    m_network.Description = ReadStringXML(content, QStringLiteral("scenariodescription"))->HTML;
    m_network.setAuthor(ReadStringXML(content, QStringLiteral("author")));
    m_network.setCopyright(ReadStringXML(content, QStringLiteral("copyright")));
}

void NetworkXMLReader::readPictures(QStringView content)
{
    m_network.Picture = imageIn(content, "splash");
    m_network.Background = imageIn(element(content, "displayscheme"), "background");
    const auto host = m_network.ParentDisplay.lock();
    if (!host)
        return;
    field([&] {
        if (basLibrary::FileExists(m_network.Picture))
            host->setSplash(PictureSource {platform::hostPath(m_network.Picture), {}});
    });
    field([&] {
        if (basLibrary::FileExists(m_network.Background))
            host->setBackground(PictureSource {platform::hostPath(m_network.Background), {}});
    });
}

bool NetworkXMLReader::passwordsAccepted(QStringView content)
{
    const QString title = m_network.Name()->Text();
    const auto confirmed = [&](const QString& password, const QString& caption) {
        m_network.PasswordRefused = !StoredPassword::Confirm(password, caption, title);
        return !m_network.PasswordRefused;
    };
    const QString key = value(content, "key");
    if (!key.isEmpty()) {
        m_network.Password = StoredPassword::Unscramble(key);
        if (!confirmed(m_network.Password, QStringLiteral("Knowledge Base Password")))
            return false;
    }
    if (StoredPassword::EditorPasswordSkipped())
        return true;
    const QString subkey = value(content, "subkey");
    if (!subkey.isEmpty()) {
        m_network.EditorPassword = StoredPassword::Unscramble(subkey);
        if (!confirmed(m_network.EditorPassword, QStringLiteral("Editor Password")))
            return false;
    }
    return true;
}

void NetworkXMLReader::readSettings(QStringView content)
{
    m_network.setVersion(value(content, "lastmodified"));
    m_network.SupportURL = value(content, "supportlink");
    field([&] {
        const QString autoAnswer = value(content, "autoanswer");
        m_network.AutoAnswer = !autoAnswer.isEmpty() && ReadBooleanXML(autoAnswer);
    });
    field([&] {
        const QString showAnswer = value(content, "showanswer");
        m_network.ShowAnswer = showAnswer.isEmpty() || ReadBooleanXML(showAnswer);
    });
}

void NetworkXMLReader::readDisplayScheme(QStringView content)
{
    const QStringView scheme = element(content, "displayscheme");
    if (scheme.isEmpty())
        return;
    const QStringView background = element(scheme, "background");
    if (const auto colour = ReadColourXML(background))
        m_network.BackColour = ColourValue(*colour);
    m_network.Background = value(background, "image");
    if (const auto colour = ReadColourXML(element(scheme, "highlightcolour")))
        m_network.HighlightColour = ColourValue(*colour);
    if (const auto colour = ReadColourXML(element(scheme, "shadowcolour")))
        m_network.ShadowColour = ColourValue(*colour);
}

void NetworkXMLReader::readNodes(QString& text, ReadNodeSet& nodes, qsizetype progress)
{
    const auto network = m_network.shared_from_this();
    basXML::XMLElementScan scan(text, QStringLiteral("node"));
    NodeBatch batch = nextBatch(scan);
    NodeBatch next;
    platform::RangeWorkers workers;
    startReading(workers, batch, network, nodes);
    workers.wait();
    while (!batch.elements.empty()) {
        next = nextBatch(scan);
        // This batch's nodes are kept while the workers read the next one.
        nodes.makeRoom(qsizetype(batch.read.size()));
        startReading(workers, next, network, nodes);
        for (std::size_t i = 0; i < batch.read.size(); ++i) {
            batch.read[i].errors.report();
            progress += batch.elements[i].size();
            showProgress(progress);
            nodes.add(std::move(batch.read[i].node));
        }
        workers.wait();
        std::swap(batch, next);
    }
    if (nodes.count() > 0)
        text.remove(0, scan.position());
    platform::ui().yield();
    nodes.connectLinks(m_network.NewGUIDs(), workers);
}

void NetworkXMLReader::showProgress(qsizetype done)
{
    if (m_progressBar && m_total > 0) {
        const int percent = static_cast<int>(std::clamp<qsizetype>(100 * done / m_total, 0, 100));
        if (percent != m_shownPercent)
            m_progressBar->setValue(percent);
        m_shownPercent = percent;
    }
    m_yield();
}

} // namespace kelvane
