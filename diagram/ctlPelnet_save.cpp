// Document save: every open network into one XML document, or into the compound file.

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "diagram/DocumentStreams.h"
#include "model/ErrorTrap.h"
#include "network/BusyPointer.h"
#include "network/DocumentOutput.h"
#include "network/NetworkSupport.h"
#include "platform/HostPath.h"
#include "platform/StructuredStorage.h"
#include "platform/UiServices.h"

#include <QScopeGuard>

namespace kelvane {

using namespace diagramsupport;
using platform::StorageMode;

bool ctlPelnet::FileSave(AbstractProgressBar* objprogress)
{
    return trapped(kModule, "FileSave", false, [&] {
        const BusyPointer busy;
        const auto root = Network();
        if (networksupport::isReadOnlyFile(platform::hostPath(root->FileName()))) {
            platform::ui().messageBox(root->FileName() + QStringLiteral(" is read only, unable to save file"),
                                      platform::msgbox::Exclamation, platform::applicationTitle());
            setEnabled(false);
            return false;
        }
        PropogateControls();
        // Each network is written once per save, however many nodes open it.
        m_lowerLevelsWritten.clear();
        const auto forget = qScopeGuard([&] { m_lowerLevelsWritten.clear(); });
        if (root->Structured)
            saveCompoundDocument(objprogress);
        else
            saveXMLDocument(objprogress);
        root->setFileName(root->FileName());
        return true;
    });
}

void ctlPelnet::saveXMLDocument(AbstractProgressBar* objprogress)
{
    const auto root = Network();
    // The lower levels live in this one document from now on.
    for (const auto& network : Networks.Snapshot()) {
        forEachNode(*requireObject(network), [](const std::shared_ptr<Node>& node) { node->ExternalFile.clear(); });
        network->Saved = false;
    }
    DocumentOutput output(platform::hostPath(root->FileName()));
    if (!output.open())
        raiseError(err::PathFileAccess, output.errorString());
    output.writeDocumentStart();
    root->FileSave(&output);
    LowerLevelNetworksSave(output, root, objprogress);
    output.writeDocumentEnd();
    if (!output.commit())
        raiseError(err::PathFileAccess, output.errorString());
    root->Saved = false;
}

void ctlPelnet::saveCompoundDocument(AbstractProgressBar* objprogress)
{
    const auto root = Network();
    const auto storage = platform::structuredStorage().OpenStorage(platform::hostPath(root->FileName()), StorageMode::ReadWrite);
    documentstreams::write(*storage, QStringLiteral("Picture"), StorageMode::ReadWrite, SplashFile + documentstreams::kEndOfFile);
    documentstreams::write(*storage, QStringLiteral("Background"), StorageMode::ReadWrite,
                           BackgroundFile + documentstreams::kEndOfFile);
    documentstreams::write(*storage, QStringLiteral("GUID"), StorageMode::Write, root->GUID());
    documentstreams::write(*storage, QStringLiteral("Networks"), StorageMode::Write, QString::number(Networks.Count()));
    for (qsizetype i = 1; i <= Networks.Count(); ++i) {
        const auto& network = requireObject(Networks.Item(i));
        documentstreams::write(*storage, QStringLiteral("GUID") + QString::number(i), StorageMode::Write, network->GUID(),
                               true);
        network->Saved = false;
    }
    root->FileStore(*storage);
    LowerLevelNetworksStore(*storage, root, objprogress);
    storage->Commit();
}

bool ctlPelnet::LowerLevelNetworksSave(DocumentOutput& output, const std::shared_ptr<clsNetwork>& objnetwork,
                                       AbstractProgressBar* objprogress)
{
    return trapped(kModule, "LowerLevelNetworksSave", false, [&] {
        const BusyPointer busy;
        forEachNode(*requireObject(objnetwork), [&](const std::shared_ptr<Node>& node) {
            if (!node->External())
                return;
            const auto lower = lowerLevelNetworkOf(*node);
            lower->FileSave(&output);
            // A network met again (levels that open each other) is not walked again.
            if (m_lowerLevelsWritten.insert(lower.get()).second)
                LowerLevelNetworksSave(output, lower, objprogress);
        });
        return true;
    });
}

bool ctlPelnet::LowerLevelNetworksStore(platform::RootStorage& rootStg, const std::shared_ptr<clsNetwork>& objnetwork,
                                        AbstractProgressBar* objprogress)
{
    return trapped(kModule, "LowerLevelNetworksStore", false, [&] {
        const BusyPointer busy;
        forEachNode(*requireObject(objnetwork), [&](const std::shared_ptr<Node>& node) {
            if (!node->External())
                return;
            const auto lower = lowerLevelNetworkOf(*node);
            lower->FileStore(rootStg);
            if (m_lowerLevelsWritten.insert(lower.get()).second)
                LowerLevelNetworksStore(rootStg, lower, objprogress);
        });
        return true;
    });
}

} // namespace kelvane
