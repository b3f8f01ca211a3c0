#include "network/clsNetwork.h"

#include "model/AbstractHostDisplay.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/Page.h"
#include "model/Property.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/clsControl.h"
#include "network/NetworkSupport.h"
#include "platform/Clock.h"
#include "platform/Conversions.h"

namespace kelvane {

using namespace networksupport;

namespace {

// The support page a new knowledge base points to until its author sets another.
const QString kDefaultSupportURL = QStringLiteral("https://kelvane.example/support");

// The dirty stamp: the local date and time in one fixed form, whatever the locale.
QString versionStamp()
{
    return platform::clock().localNow().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::shared_ptr<TextLabel> labelMadeOnFirstRead(std::shared_ptr<TextLabel>& label)
{
    if (!label)
        label = std::make_shared<TextLabel>();
    return label;
}

// The update goes out under the GUID of the network the host shows, which need not be this one.
void sendUpdate(AbstractHostDisplay& host, const QString& text)
{
    host.ServerUpdate(requireObject(host.Network())->GUID(), text, QString());
}

} // namespace

std::shared_ptr<clsNetwork> clsNetwork::create()
{
    return std::shared_ptr<clsNetwork>(new clsNetwork());
}

clsNetwork::clsNetwork() : SupportURL(kDefaultSupportURL), m_guid(basLibrary::NewGUIDString()) {}

clsNetwork::~clsNetwork() = default;

std::shared_ptr<TextLabel> clsNetwork::Name() const { return labelMadeOnFirstRead(m_name); }
std::shared_ptr<TextLabel> clsNetwork::Author() const { return labelMadeOnFirstRead(m_author); }
std::shared_ptr<TextLabel> clsNetwork::Copyright() const { return labelMadeOnFirstRead(m_copyright); }
std::shared_ptr<TextLabel> clsNetwork::KBDescription() const { return labelMadeOnFirstRead(m_kbDescription); }

// --- Online updates ---------------------------------------------------------------------------

std::shared_ptr<AbstractHostDisplay> clsNetwork::onlineHost() const
{
    auto host = ParentDisplay.lock();
    return host && host->Loaded() && host->Connected() ? host : nullptr;
}

void clsNetwork::sendNetworkUpdate()
{
    if (const auto host = onlineHost())
        sendUpdate(*host, QStringLiteral("<kelvanenetwork>\r\n") + SerializeOutXML() + QStringLiteral("</kelvanenetwork>\r\n"));
}

void clsNetwork::sendNodeUpdate(Node& node)
{
    if (const auto host = onlineHost())
        sendUpdate(*host, node.SerializeOutXML());
}

// --- Editing ----------------------------------------------------------------------------------

std::shared_ptr<Layer> clsNetwork::newLayer(qint32 index)
{
    auto layer = std::make_shared<Layer>();
    layer->Index = index;
    layer->Network = weak_from_this();
    return layer;
}

qint32 clsNetwork::nextLayerNumber() const
{
    return conv::toInt16(static_cast<double>(m_layers.Count()) + 1);
}

bool clsNetwork::AddLayer()
{
    return trapped(kModule, "AddLayer", false, [&] {
        const qint32 number = nextLayerNumber();
        setDirty(true);
        m_layers.Add(newLayer(number));
        sendNetworkUpdate();
        return true;
    });
}

bool clsNetwork::InsertLayer()
{
    return trapped(kModule, "InsertLayer", false, [&] {
        nextLayerNumber(); // the number the last layer moves up to: refused before anything changes
        setDirty(true);
        const auto former = m_layers.Snapshot();
        m_layers.Clear();
        m_layers.Add(newLayer(1));
        for (const auto& layer : former) {
            requireObject(layer)->Index = conv::add32(layer->Index, 1);
            m_layers.Add(layer);
        }
        sendNetworkUpdate();
        return true;
    });
}

bool clsNetwork::AddNode(qint32 intLayer)
{
    return trapped(kModule, "AddNode", false, [&] {
        setDirty(true);
        while (m_layers.Count() < intLayer) {
            if (!AddLayer())
                return false;
        }
        const auto layer = requireObject(m_layers.Item(intLayer));
        auto node = std::make_shared<Node>();
        node->Layer = layer;
        cintCounter = conv::add32(cintCounter, 1);
        node->NodeNumber = cintCounter;
        for (const auto& definition : Controls) {
            // Names compare without regard to case; the first definition of a name is kept,
            // as the document reader keeps it.
            if (!node->Controls().Contains(requireObject(definition)->Name))
                node->Controls().Add(definition->Clone(), definition->Name);
        }
        layer->Nodes().Add(node);
        node->NodeIndex = conv::toInt32(static_cast<double>(layer->Nodes().Count()));
        node->Network = weak_from_this();
        sendNetworkUpdate();
        return true;
    });
}

bool clsNetwork::AddLink(const std::shared_ptr<Node>& objNodeFrom, const std::shared_ptr<Node>& objNodeTo)
{
    return trapped(kModule, "AddLink", false, [&] {
        setDirty(true);
        // A link made by the author makes its evidence default to false.
        requireObject(objNodeTo)->Default = 0;
        auto link = std::make_shared<Link>();
        link->ConnectionTo = objNodeTo;
        link->ConnectionFrom = requireObject(objNodeFrom);
        objNodeTo->Parents().Add(objNodeFrom);
        objNodeFrom->Links().Add(std::move(link));
        sendNodeUpdate(*objNodeFrom);
        return true;
    });
}

bool clsNetwork::DeleteLink(const std::shared_ptr<Node>& objNodeFrom, const std::shared_ptr<Node>& objNodeTo)
{
    return trapped(kModule, "DeleteLink", false, [&] {
        setDirty(true);
        // The link is found by its evidence node's layer and place.
        const qint32 toLayer = layerIndexOf(*requireObject(objNodeTo));
        const qint32 toIndex = objNodeTo->Index();
        auto& links = requireObject(objNodeFrom)->Links();
        qsizetype linkPosition = 0;
        for (qsizetype position = 1; position <= links.Count(); ++position) {
            const auto& target = requireObject(requireObject(links.Item(position))->ConnectionTo);
            if (layerIndexOf(*target) == toLayer && target->Index() == toIndex) {
                linkPosition = position;
                break;
            }
        }
        if (linkPosition == 0)
            return false;

        // The parent entry is the last one with the holder's node number.
        auto& parents = objNodeTo->Parents();
        qsizetype parentPosition = 0;
        for (qsizetype position = 1; position <= parents.Count(); ++position) {
            const auto parent = parents.Item(position).lock();
            if (parent && parent->NodeNumber == objNodeFrom->NodeNumber)
                parentPosition = position;
        }
        if (parentPosition == 0)
            raiseError(err::InvalidProcedureCall, QStringLiteral("The evidence node does not list the node as a parent."));

        parents.Remove(parentPosition);
        links.Remove(linkPosition);
        sendNodeUpdate(*objNodeFrom);
        return true;
    });
}

bool clsNetwork::DeleteNode(const std::shared_ptr<Node>& objDeleteNode)
{
    return trapped(kModule, "DeleteNode", false, [&] {
        setDirty(true);
        const auto& deleted = requireObject(objDeleteNode);

        // Every link that leads to the node goes.
        for (const auto& layer : m_layers) {
            for (const auto& node : requireObject(layer)->Nodes()) {
                auto& links = requireObject(node)->Links();
                for (qsizetype position = links.Count(); position >= 1; --position) {
                    if (requireObject(requireObject(links.Item(position))->ConnectionTo)->GUID == deleted->GUID)
                        links.Remove(position);
                }
            }
        }
        // The node's own links stay, but the nodes they lead to no longer list it as a parent.
        for (const auto& link : deleted->Links()) {
            if (const auto& target = requireObject(link)->ConnectionTo)
                removeParentEntries(*target, *deleted);
        }
        // Nodes of higher-level networks that stood for this node become ordinary nodes.
        for (const auto& higherRef : deleted->HigherLevelNodes) {
            if (const auto higher = higherRef.lock()) {
                higher->LowerLevelNetwork = nullptr;
                higher->LowerLevelNode = nullptr;
                higher->setExternal(false);
            }
        }
        const auto layer = requireObject(deleted->Layer.lock());
        layer->Nodes().Remove(positionInLayer(*layer, *deleted));
        sendNetworkUpdate();
        return true;
    });
}

qint32 clsNetwork::NodeCount()
{
    return trapped(kModule, "NodeCount", qint32(0), [&] {
        qint32 count = 0;
        for (const auto& layer : m_layers)
            count = conv::add32(count, conv::toInt32(static_cast<double>(requireObject(layer)->Nodes().Count())));
        return count;
    });
}

// --- File name, dirty flag, pages ---------------------------------------------------------------

void clsNetwork::setFileName(const QString& strFileName)
{
    trappedVoid(kModule, "FileName", [&] {
        m_fileName = strFileName;
        Saved = false;
        if (strFileName.size() <= 4)
            return;
        const QString extension = strFileName.right(4).toUpper();
        if (extension == QLatin1String(".QKT")) {
            Structured = true;
            NetworkType = 0;
        } else if (extension == QLatin1String(".QKB") || extension == QLatin1String(".TMP")) {
            Structured = true;
            NetworkType = 1;
        } else if (extension == QLatin1String(".QKS")) {
            Structured = true;
            NetworkType = 2;
        } else if (extension == QLatin1String(".XML")) {
            Structured = false;
        }
    });
}

void clsNetwork::setDirty(bool bDirty)
{
    trappedVoid(kModule, "Dirty", [&] {
        m_dirty = bDirty;
        if (!bDirty)
            return;
        const auto host = ParentDisplay.lock();
        if (host)
            host->NetworkEdited();
        if (!host || !host->Loaded())
            return;
        const QString stamp = versionStamp();
        if (const auto current = host->Network())
            current->setVersion(stamp);
        m_version = stamp;
    });
}

std::shared_ptr<Page> clsNetwork::Page()
{
    return trapped(kModule, "Page", std::shared_ptr<kelvane::Page>(), [&] {
        auto page = std::make_shared<kelvane::Page>();
        page->setNetwork(shared_from_this());
        return page;
    });
}

} // namespace kelvane
