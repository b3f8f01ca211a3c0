// Document open: the compound file or the text document, the lower-level networks depth
// first, and the same from the knowledge server.

#include "diagram/ctlPelnet.h"

#include "diagram/AbstractParentForm.h"
#include "diagram/DiagramSupport.h"
#include "diagram/DocumentStreams.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/xml/basXML.h"
#include "network/BusyPointer.h"
#include "network/NetworkSupport.h"
#include "platform/HostPath.h"
#include "platform/StructuredStorage.h"
#include "platform/TextEncoding.h"
#include "platform/UiServices.h"

#include <QFile>
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
    QFile file(platform::hostPath(fileName));
    if (!file.exists())
        raiseError(err::FileNotFound, QStringLiteral("%1 was not found.").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        raiseError(err::PathFileAccess, QStringLiteral("%1 cannot be read: %2").arg(fileName, file.errorString()));
    return platform::encoding::decodeStored(file.readAll());
}

// The path of a lower-level knowledge base's file: a name with a drive or a share as it
// stands, any other relative to the folder of the upper network's file.
QString lowerLevelPath(const QString& externalFile, const clsNetwork& upper)
{
    if (externalFile.contains(QStringLiteral("\\\\")) || externalFile.contains(u':'))
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
// as it lives. A source met again inside itself would be read without end: it raises instead.
class ctlPelnet::LowerLevelReading {
public:
    LowerLevelReading(QSet<QString>& reading, const QString& source) : m_reading(reading), m_source(source)
    {
        if (m_source.isEmpty())
            return;
        if (m_reading.contains(m_source))
            raiseError(err::InvalidFileFormat, QStringLiteral("The lower-level networks of %1 open themselves.").arg(m_source));
        m_reading.insert(m_source);
    }
    ~LowerLevelReading()
    {
        if (!m_source.isEmpty())
            m_reading.remove(m_source);
    }
    LowerLevelReading(const LowerLevelReading&) = delete;
    LowerLevelReading& operator=(const LowerLevelReading&) = delete;

private:
    QSet<QString>& m_reading;
    QString m_source;
};

bool ctlPelnet::FileOpen(AbstractProgressBar* objprogress, bool bHideOverview)
{
    return trapped(kModule, "FileOpen", false, [&] {
        const BusyPointer busy;
        const auto root = Network();
        const QString fileName = root->FileName();
        if (networksupport::isReadOnlyFile(platform::hostPath(fileName))) {
            platform::ui().messageBox(fileName + QStringLiteral(" is read only"), platform::msgbox::Exclamation,
                                      platform::applicationTitle());
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
                if (error.Number() != err::InvalidFileFormat) {
                    platform::ui().messageBox(error.Description(), platform::msgbox::OKOnly, platform::applicationTitle());
                    Loaded = true;
                    return false;
                }
            }
            if (storage)
                return openCompoundDocument(*storage, objprogress, bHideOverview);
        }
        return openTextDocument(objprogress, bHideOverview);
    });
}

bool ctlPelnet::openCompoundDocument(platform::RootStorage& storage, AbstractProgressBar* objprogress, bool bHideOverview)
{
    const auto root = Network();
    try {
        SplashFile = documentstreams::pictureBytes(documentstreams::read(storage, QStringLiteral("Picture")));
        setSplash(pictureFromBytes(SplashFile));
        BackgroundFile = documentstreams::pictureBytes(documentstreams::read(storage, QStringLiteral("Background")));
        setBackground(pictureFromBytes(BackgroundFile));
    } catch (...) {
        // Missing or unreadable pictures are skipped.
    }
    const QString guid = documentstreams::guidText(documentstreams::read(storage, QStringLiteral("GUID")));
    bool ok = root->FileRestore(storage, guid, objprogress);
    nameDocument(*root, true);
    if (ok)
        ok = LowerLevelNetworksRestore(storage, root, objprogress);
    if (!ok) {
        Loaded = true;
        return true;
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
    if (bXML) {
        QString element = basXML::ExtractXMLElement(text, kNetworkTag);
        root->FileOpen(element, true, objprogress);
    } else {
        root->FileOpen(text, false, objprogress);
    }
    nameDocument(*root, false);
    LowerLevelNetworksOpen(text, bXML, root, objprogress);
    RecreateGUIDs();
    CreateOverview();
    if (!bHideOverview)
        ViewOverview();
    Loaded = true;
    return true;
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
    return trapped(kModule, "ServerConnect", false, [&] {
        const BusyPointer busy;
        const auto root = Network();
        root->setNewGUIDs(NewGUIDs);
        QString text = ServerRead(strGUID, objprogress);
        QString element = basXML::ExtractXMLElement(text, kNetworkTag);
        if (element.isEmpty())
            raiseError(err::InvalidFileFormat, QStringLiteral("The knowledge server sent no knowledge base %1.").arg(strGUID));
        Loaded = false;
        root->SerializeInXML(element);
        LowerLevelNetworksOpen(text, true, root, nullptr);
        Loaded = true;
        CreateOverview();
        if (!bHideOverview)
            ViewOverview();
        return true;
    });
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

bool ctlPelnet::LowerLevelNetworksOpen(QString& strSerialized, bool bXML, const std::shared_ptr<clsNetwork>& objnetwork,
                                       AbstractProgressBar* objprogress)
{
    return trapped(kModule, "LowerLevelNetworksOpen", false, [&] {
        const BusyPointer busy;
        forEachNode(*requireObject(objnetwork), [&](const std::shared_ptr<Node>& node) {
            if (node->External() && !LowerLevelNetworkFind(node))
                LowerLevelNodeOpen(strSerialized, bXML, node, objprogress);
        });
        return true;
    });
}

bool ctlPelnet::LowerLevelNetworksRestore(platform::RootStorage& rootStg, const std::shared_ptr<clsNetwork>& objnetwork,
                                          AbstractProgressBar* objprogress, bool blnOld)
{
    return trapped(kModule, "LowerLevelNetworksRestore", false, [&] {
        const BusyPointer busy;
        forEachNode(*requireObject(objnetwork), [&](const std::shared_ptr<Node>& node) {
            if (node->External() && !LowerLevelNetworkFind(node))
                LowerLevelNodeRestore(rootStg, node, objprogress, blnOld);
        });
        return true;
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
    network->Index = conv::toInt16(double(Networks.Count()));
    linkToLowerLevel(objNode, network);
}

bool ctlPelnet::LowerLevelNodeOpen(QString& strSerialized, bool bXML, const std::shared_ptr<Node>& objNode,
                                   AbstractProgressBar* objprogress)
{
    return trapped(kModule, "LowerLevelNodeOpen", false, [&] {
        const BusyPointer busy;
        const auto network = newLowerLevelNetwork(*requireObject(objNode));
        network->setNewGUIDs(NewGUIDs);
        QString element = bXML ? basXML::ExtractXMLElement(strSerialized, kNetworkTag) : QString();
        // Without an element of its own the network reads its file.
        const QString source = !bXML && element.isEmpty() && !network->FileName().isEmpty()
            ? QFileInfo(platform::hostPath(network->FileName())).absoluteFilePath()
            : QString();
        const LowerLevelReading reading(m_lowerLevelsBeingRead, source);
        network->FileOpen(element, bXML, objprogress);
        // A separate file re-points the node to the GUID that the file carries.
        if (!(bXML && network->GUID() != objNode->ExternalNetworkGUID))
            objNode->ExternalNetworkGUID = network->GUID();
        appendLowerLevel(objNode, network);
        LowerLevelNetworksOpen(strSerialized, bXML, network, objprogress);
        return true;
    });
}

bool ctlPelnet::LowerLevelNodeRestore(platform::RootStorage& rootStg, const std::shared_ptr<Node>& objNode,
                                      AbstractProgressBar* objprogress, bool blnOld)
{
    return trapped(kModule, "LowerLevelNodeRestore", false, [&] {
        const BusyPointer busy;
        const auto network = newLowerLevelNetwork(*requireObject(objNode));
        const LowerLevelReading reading(m_lowerLevelsBeingRead, QStringLiteral("stream ") + objNode->ExternalNetworkGUID);
        network->FileRestore(rootStg, objNode->ExternalNetworkGUID, objprogress);
        appendLowerLevel(objNode, network);
        LowerLevelNetworksRestore(rootStg, network, objprogress, blnOld);
        return true;
    });
}

} // namespace kelvane
