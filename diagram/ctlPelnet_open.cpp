// Document open: the compound file or the text document, the lower-level networks depth
// first, and the same from the knowledge server.

#include "diagram/ctlPelnet.h"

#include "diagram/AbstractParentForm.h"
#include "diagram/DiagramSupport.h"
#include "diagram/DocumentStreams.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/xml/XMLElementWalker.h"
#include "model/xml/basXML.h"
#include "network/BusyPointer.h"
#include "network/NetworkSupport.h"
#include "platform/CompoundFile.h"
#include "platform/HostPath.h"
#include "platform/StoredTextFile.h"
#include "platform/StructuredStorage.h"
#include "platform/TextEncoding.h"
#include "platform/UiServices.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace kelvane {

using namespace diagramsupport;
using platform::StorageMode;

namespace {

const QString kNetworkTag = QStringLiteral("kelvanenetwork");
const QString kXMLDeclaration = QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>");

// The whole text of a document file: UTF-8 when its bytes are, else the ANSI code page.
QString readDocumentFile(const QString& fileName)
{
    return platform::encoding::readStoredTextFile(fileName);
}

// The path of a lower-level knowledge base's file: a name with a drive or a share, or an
// absolute path of this system (as the older text form resolves its names), as it stands;
// any other relative to the folder of the upper network's file.
QString lowerLevelPath(const QString& externalFile, const clsNetwork& upper)
{
    if (externalFile.contains(QStringLiteral("\\\\")) || externalFile.contains(u':') || externalFile.startsWith(u'/'))
        return externalFile;
    return basLibrary::FolderOfPath(upper.FileName()) + externalFile;
}

// A picture from its file's bytes (one character each); no picture for none.
QImage pictureFromBytes(const QString& bytes)
{
    return bytes.isEmpty() ? QImage() : QImage::fromData(platform::encoding::toAnsi(bytes));
}

} // namespace

// Marks a lower-level source (a file, a stream, a server document) as being read for as long
// as it lives. A source met again inside itself would be read without end: it is not entered
// again (the level is read already; the node that opens it anew stays unlinked).
class ctlPelnet::LowerLevelReading {
public:
    LowerLevelReading(QSet<QString>& reading, const QString& source) : m_reading(reading), m_source(source)
    {
        if (m_source.isEmpty())
            return;
        m_entered = !m_reading.contains(m_source);
        if (m_entered)
            m_reading.insert(m_source);
    }
    ~LowerLevelReading()
    {
        if (!m_source.isEmpty() && m_entered)
            m_reading.remove(m_source);
    }
    bool entered() const { return m_entered; }
    LowerLevelReading(const LowerLevelReading&) = delete;
    LowerLevelReading& operator=(const LowerLevelReading&) = delete;

private:
    QSet<QString>& m_reading;
    QString m_source;
    bool m_entered = true;
};

// The networks of the list by GUID, for as long as the outermost walk over lower levels lasts;
// the levels read meanwhile are added as they join the list. A list holding an empty entry is
// not indexed: the walk then goes through the list as it stands.
class ctlPelnet::NetworksByGUID {
public:
    explicit NetworksByGUID(ctlPelnet& control) : m_control(control)
    {
        if (m_control.m_networksByGUID)
            return; // an inner walk uses the outer one's index
        for (const auto& network : m_control.Networks) {
            if (!network)
                return;
            add(network);
        }
        m_control.m_networksByGUID = this;
    }
    ~NetworksByGUID()
    {
        if (m_control.m_networksByGUID == this)
            m_control.m_networksByGUID = nullptr;
    }
    NetworksByGUID(const NetworksByGUID&) = delete;
    NetworksByGUID& operator=(const NetworksByGUID&) = delete;

    void add(const std::shared_ptr<clsNetwork>& network) { m_byGUID[network->GUID()].push_back(network); }
    std::vector<std::shared_ptr<clsNetwork>> find(const QString& guid) const { return m_byGUID.value(guid); }

private:
    ctlPelnet& m_control;
    QHash<QString, std::vector<std::shared_ptr<clsNetwork>>> m_byGUID;
};

bool ctlPelnet::FileOpen(AbstractProgressBar* objprogress, bool bHideOverview)
{
    m_notOpened = true; // until the open ends well
    m_openRefusalShown = false;
    const bool opened = trapped(kModule, "FileOpen", false, [&] {
        const BusyPointer busy;
        const auto root = Network();
        const QString fileName = root->FileName();
        if (networksupport::isReadOnlyFile(platform::hostPath(fileName))) {
            platform::ui().messageBox(fileName + QStringLiteral(" is read only"), platform::msgbox::Exclamation,
                                      platform::applicationTitle());
            m_openRefusalShown = true;
            Loaded = true;
            return false;
        }
        Loaded = false;
        root->ViewingCount = 0;
        if (root->Structured) {
            std::shared_ptr<platform::RootStorage> storage;
            try {
                storage = platform::structuredStorage().OpenStorage(platform::hostPath(fileName), StorageMode::Read);
            } catch (const RuntimeError& error) {
                // A missing document fails like any other error; a file that is no compound
                // file is read as text below.
                if (error.Number() == err::FileNotFound)
                    throw;
                // A file that bears the compound-file signature and was refused is a damaged
                // compound file: it is not read as text (which would find nothing in it).
                if (error.Number() != err::InvalidFileFormat
                    || platform::compoundfile::hasSignature(platform::hostPath(fileName))) {
                    platform::ui().messageBox(error.Description(), platform::msgbox::OKOnly, platform::applicationTitle());
                    m_openRefusalShown = true;
                    Loaded = true;
                    return false;
                }
            }
            if (storage)
                return openCompoundDocument(std::move(storage), objprogress, bHideOverview);
        }
        return openTextDocument(objprogress, bHideOverview);
    });
    m_notOpened = !opened;
    return opened;
}

bool ctlPelnet::openCompoundDocument(std::shared_ptr<platform::RootStorage> storage, AbstractProgressBar* objprogress,
                                     bool bHideOverview)
{
    const auto root = Network();
    try {
        SplashFile = documentstreams::pictureBytes(documentstreams::read(*storage, QStringLiteral("Picture")));
        setSplash(pictureFromBytes(SplashFile));
        BackgroundFile = documentstreams::pictureBytes(documentstreams::read(*storage, QStringLiteral("Background")));
        setBackground(pictureFromBytes(BackgroundFile));
    } catch (...) {
        // Missing or unreadable pictures are skipped.
    }
    // An older file whose "GUID" stream cannot be read by its size holds the GUID as a stored
    // string; it is read from the storage opened afresh.
    bool blnOld = false;
    QString guid;
    try {
        guid = documentstreams::guidText(documentstreams::read(*storage, QStringLiteral("GUID")));
    } catch (const RuntimeError&) {
        storage.reset();
        storage = platform::structuredStorage().OpenStorage(platform::hostPath(root->FileName()), StorageMode::Read);
        guid = storage->OpenStream(QStringLiteral("GUID"), StorageMode::Read)->GetString();
        blnOld = true;
    }
    const bool ok = root->FileRestore(*storage, guid, objprogress);
    noteRefusal(*root);
    nameDocument(*root, true);
    // A network of the document that was not read is not passed off as an empty one: the
    // host gives up, so no save writes over the file.
    if (!ok || !LowerLevelNetworksRestore(*storage, root, objprogress, blnOld)) {
        Loaded = true;
        return false;
    }
    CreateOverview();
    if (!bHideOverview)
        ViewOverview();
    UpdateButtons();
    Loaded = true;
    return true;
}

bool ctlPelnet::openTextDocument(AbstractProgressBar* objprogress, bool bHideOverview)
{
    const auto root = Network();
    root->Structured = false;
    QString text = readDocumentFile(root->FileName());
    const bool bXML = text.startsWith(kXMLDeclaration, Qt::CaseInsensitive);
    if (bXML && text.lastIndexOf(networksupport::kDocumentEndTag) < 0) { // looked for from the end, where it stands
        basLibrary::ReportError(QString::fromLatin1(kModule), QStringLiteral("FileOpen"),
                                RuntimeError(err::InvalidFileFormat, QStringLiteral("%1 is cut short: it lacks its closing tag.")
                                                                         .arg(root->FileName())));
        Loaded = true;
        return false;
    }
    bool ok = false;
    if (bXML) {
        QString element = basXML::ExtractXMLElement(text, kNetworkTag);
        ok = root->FileOpen(element, true, objprogress);
    } else {
        ok = root->FileOpen(text, false, objprogress);
    }
    noteRefusal(*root);
    nameDocument(*root, false);
    basXML::XMLElementWalker rest(text, kNetworkTag);
    if (!ok || !LowerLevelNetworksOpen(rest, bXML, root, objprogress)) {
        Loaded = true;
        return false;
    }
    RecreateGUIDs();
    CreateOverview();
    if (!bHideOverview)
        ViewOverview();
    Loaded = true;
    return true;
}

// A network whose password was refused has told the user so: the open fails without a second
// message from the host.
void ctlPelnet::noteRefusal(const clsNetwork& network)
{
    if (network.PasswordRefused)
        m_openRefusalShown = true;
}

// A nameless network, or a template, takes its name from the host window's caption; with
// `showName` a named knowledge base gives the caption its name instead (not in the node
// properties window).
void ctlPelnet::nameDocument(clsNetwork& root, bool showName)
{
    if (!ParentForm)
        return;
    const auto name = root.Name();
    if (name->Text().isEmpty() || (showName && root.NetworkType == 0))
        name->setText(ParentForm->Caption());
    else if (showName && ParentForm->Name() != QStringLiteral("frmNodeProperties"))
        ParentForm->setCaption(name->Text());
}

void ctlPelnet::ServerDisconnect() {}

bool ctlPelnet::ServerConnect(const QString& strGUID, AbstractProgressBar* objprogress, bool bHideOverview)
{
    m_notOpened = true; // until the open ends well
    const bool opened = trapped(kModule, "ServerConnect", false, [&] {
        const BusyPointer busy;
        const auto root = Network();
        root->setNewGUIDs(NewGUIDs);
        QString text = ServerRead(strGUID, objprogress);
        QString element = basXML::ExtractXMLElement(text, kNetworkTag);
        if (element.isEmpty())
            raiseError(err::InvalidFileFormat, QStringLiteral("The knowledge server sent no knowledge base %1.").arg(strGUID));
        Loaded = false;
        basXML::XMLElementWalker rest(text, kNetworkTag);
        const bool read = root->SerializeInXML(element) && LowerLevelNetworksOpen(rest, true, root, nullptr);
        Loaded = true;
        if (!read)
            return false;
        CreateOverview();
        if (!bHideOverview)
            ViewOverview();
        return true;
    });
    m_notOpened = !opened;
    return opened;
}

// --- Lower-level networks --------------------------------------------------------------------------

void ctlPelnet::linkToLowerLevel(const std::shared_ptr<Node>& objNode, const std::shared_ptr<clsNetwork>& network)
{
    objNode->LowerLevelNetwork = network;
    forEachNode(*network, [&](const std::shared_ptr<Node>& node) {
        if (node->GUID != objNode->ExternalGUID())
            return;
        objNode->LowerLevelNode = node;
        node->HigherLevelNodes.Add(objNode);
        node->HigherLevelNetworks.Add(objNode->Network);
    });
}

bool ctlPelnet::LowerLevelNetworkFind(const std::shared_ptr<Node>& objNode)
{
    return trapped(kModule, "LowerLevelNetworkFind", false, [&] {
        if (m_networksByGUID) {
            const auto found = m_networksByGUID->find(requireObject(objNode)->ExternalNetworkGUID);
            for (const auto& network : found)
                linkToLowerLevel(objNode, network);
            return !found.empty();
        }
        bool found = false;
        for (const auto& network : Networks.Snapshot()) {
            if (requireObject(network)->GUID() != requireObject(objNode)->ExternalNetworkGUID)
                continue;
            found = true;
            linkToLowerLevel(objNode, network);
        }
        return found;
    });
}

bool ctlPelnet::LowerLevelNetworksOpen(basXML::XMLElementWalker& strSerialized, bool bXML,
                                       const std::shared_ptr<clsNetwork>& objnetwork,
                                       AbstractProgressBar* objprogress)
{
    return trapped(kModule, "LowerLevelNetworksOpen", false, [&] {
        const BusyPointer busy;
        const NetworksByGUID index(*this);
        bool allRead = true;
        forEachNode(*requireObject(objnetwork), [&](const std::shared_ptr<Node>& node) {
            if (node->External() && !LowerLevelNetworkFind(node))
                allRead = LowerLevelNodeOpen(strSerialized, bXML, node, objprogress) && allRead;
        });
        return allRead;
    });
}

bool ctlPelnet::LowerLevelNetworksRestore(platform::RootStorage& rootStg, const std::shared_ptr<clsNetwork>& objnetwork,
                                          AbstractProgressBar* objprogress, bool blnOld)
{
    return trapped(kModule, "LowerLevelNetworksRestore", false, [&] {
        const BusyPointer busy;
        const NetworksByGUID index(*this);
        bool allRead = true;
        forEachNode(*requireObject(objnetwork), [&](const std::shared_ptr<Node>& node) {
            if (node->External() && !LowerLevelNetworkFind(node))
                allRead = LowerLevelNodeRestore(rootStg, node, objprogress, blnOld) && allRead;
        });
        return allRead;
    });
}

std::shared_ptr<clsNetwork> ctlPelnet::newLowerLevelNetwork(const Node& objNode)
{
    auto network = clsNetwork::create();
    attach(*network);
    if (!objNode.ExternalFile.isEmpty())
        network->setFileName(lowerLevelPath(objNode.ExternalFile, *owningNetworkOf(objNode)));
    return network;
}

void ctlPelnet::appendLowerLevel(const std::shared_ptr<Node>& objNode, const std::shared_ptr<clsNetwork>& network)
{
    Networks.Add(network);
    if (m_networksByGUID)
        m_networksByGUID->add(network);
    network->Index = conv::toInt16(double(Networks.Count()));
    linkToLowerLevel(objNode, network);
}

bool ctlPelnet::LowerLevelNodeOpen(basXML::XMLElementWalker& strSerialized, bool bXML, const std::shared_ptr<Node>& objNode,
                                   AbstractProgressBar* objprogress)
{
    return trapped(kModule, "LowerLevelNodeOpen", false, [&] {
        const BusyPointer busy;
        const auto network = newLowerLevelNetwork(*requireObject(objNode));
        network->setNewGUIDs(NewGUIDs);
        // The next element of the document, unless the node names a file of its own and that
        // element holds another network (the save left this node's level in its file).
        QString element;
        const bool elsewhere = bXML && !objNode->ExternalFile.isEmpty()
            && basXML::GetXMLAttribute(strSerialized.rest(), QStringLiteral("network"), QStringLiteral("networkguid"))
                   != objNode->ExternalNetworkGUID;
        if (bXML && !elsewhere)
            element = strSerialized.next().toString();
        const bool fromDocument = !element.isEmpty();
        if (!fromDocument && network->FileName().isEmpty())
            return true; // nothing to read: the node stays as it is
        // Without an element of its own the network reads its file.
        const QString source = fromDocument ? QString() : QFileInfo(platform::hostPath(network->FileName())).absoluteFilePath();
        const LowerLevelReading reading(m_lowerLevelsBeingRead, source);
        if (!reading.entered())
            return true;
        if (!network->FileOpen(element, fromDocument, objprogress)) {
            // The node keeps its references, so that no empty network stands in for it and a
            // save keeps naming its file. A level of the document itself that was not read
            // leaves the document incomplete.
            if (fromDocument)
                noteRefusal(*network);
            return !fromDocument;
        }
        // A separate file re-points the node to the GUID that the file carries.
        if (!(fromDocument && network->GUID() != objNode->ExternalNetworkGUID))
            objNode->ExternalNetworkGUID = network->GUID();
        appendLowerLevel(objNode, network);
        // A network read from its own file finds its lower levels in their own files too.
        return LowerLevelNetworksOpen(strSerialized, fromDocument, network, objprogress);
    });
}

bool ctlPelnet::LowerLevelNodeRestore(platform::RootStorage& rootStg, const std::shared_ptr<Node>& objNode,
                                      AbstractProgressBar* objprogress, bool blnOld)
{
    return trapped(kModule, "LowerLevelNodeRestore", false, [&] {
        const BusyPointer busy;
        const auto network = newLowerLevelNetwork(*requireObject(objNode));
        const LowerLevelReading reading(m_lowerLevelsBeingRead, QStringLiteral("stream ") + objNode->ExternalNetworkGUID);
        if (!reading.entered())
            return true;
        // A level of the file that was not read leaves the document incomplete; the node
        // keeps its references, and no empty network stands in for it.
        if (!network->FileRestore(rootStg, objNode->ExternalNetworkGUID, objprogress)) {
            noteRefusal(*network);
            return false;
        }
        appendLowerLevel(objNode, network);
        return LowerLevelNetworksRestore(rootStg, network, objprogress, blnOld);
    });
}

} // namespace kelvane
