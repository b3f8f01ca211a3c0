// Document save: every open network into one XML document, or into the compound file. A save
// that fails anywhere leaves the file and the open document as they were.

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "diagram/DocumentStreams.h"
#include "diagram/UnsavedState.h"
#include "model/ErrorTrap.h"
#include "network/BusyPointer.h"
#include "network/DocumentOutput.h"
#include "network/NetworkSupport.h"
#include "platform/HostPath.h"
#include "platform/StructuredStorage.h"
#include "platform/UiServices.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace kelvane {

using namespace diagramsupport;
using platform::StorageMode;

bool ctlPelnet::FileSave(AbstractProgressBar* objprogress)
{
    m_saveError.clear();
    return trapped(kModule, "FileSave", false, [&] {
        try {
            return saveDocument(objprogress);
        } catch (...) {
            m_saveError = toRuntimeError(std::current_exception()).Description();
            throw;
        }
    });
}

bool ctlPelnet::saveDocument(AbstractProgressBar* objprogress)
{
    const BusyPointer busy;
    const auto root = Network();
    if (networksupport::isReadOnlyFile(platform::hostPath(root->FileName()))) {
        platform::ui().messageBox(root->FileName() + QStringLiteral(" is read only, unable to save file"),
                                  platform::msgbox::Exclamation, platform::applicationTitle());
        setEnabled(false);
        return false;
    }
    // A document that was not opened whole is not written over the file it came from.
    if (m_notOpened && QFileInfo::exists(platform::hostPath(root->FileName())))
        raiseError(err::PathFileAccess, QStringLiteral("%1 was not opened whole: it is not saved over.").arg(root->FileName()));
    PropogateControls();
    // Each network is written once per save, however many nodes open it.
    m_lowerLevelsWritten.clear();
    const auto forget = qScopeGuard([&] { m_lowerLevelsWritten.clear(); });
    const UnsavedState unsaved(Networks);
    auto giveBack = qScopeGuard([&] { unsaved.restore(Loaded); });
    const bool written = root->Structured ? saveCompoundDocument(objprogress) : saveXMLDocument(objprogress);
    if (!written)
        return false;
    giveBack.dismiss();
    root->setFileName(root->FileName());
    return true;
}

bool ctlPelnet::saveXMLDocument(AbstractProgressBar* objprogress)
{
    const auto root = Network();
    // The lower levels that are open live in this one document from now on; a node whose
    // lower level could not be read keeps naming its file.
    for (const auto& network : Networks.Snapshot()) {
        forEachNode(*requireObject(network), [](const std::shared_ptr<Node>& node) {
            if (node->LowerLevelNetwork)
                node->ExternalFile.clear();
        });
        network->Saved = false;
    }
    DocumentOutput output(platform::hostPath(root->FileName()));
    if (!output.open())
        raiseError(err::PathFileAccess, output.errorString());
    output.writeDocumentStart();
    // A network that could not be written has reported why; the file is then left alone.
    if (!root->FileSave(&output) || !LowerLevelNetworksSave(output, root, objprogress))
        return false;
    output.writeDocumentEnd();
    if (!output.commit())
        raiseError(err::PathFileAccess, output.errorString());
    root->Saved = false;
    return true;
}

bool ctlPelnet::saveCompoundDocument(AbstractProgressBar* objprogress)
{
    const auto root = Network();
    const auto storage = platform::structuredStorage().OpenStorage(platform::hostPath(root->FileName()), StorageMode::ReadWrite);
    // A new or partial file gets the fixed streams it lacks.
    documentstreams::write(*storage, QStringLiteral("Picture"), StorageMode::ReadWrite, SplashFile + documentstreams::kEndOfFile,
                           true);
    documentstreams::write(*storage, QStringLiteral("Background"), StorageMode::ReadWrite,
                           BackgroundFile + documentstreams::kEndOfFile, true);
    documentstreams::write(*storage, QStringLiteral("GUID"), StorageMode::Write, root->GUID(), true);
    documentstreams::write(*storage, QStringLiteral("Networks"), StorageMode::Write, QString::number(Networks.Count()), true);
    for (qsizetype i = 1; i <= Networks.Count(); ++i) {
        const auto& network = requireObject(Networks.Item(i));
        documentstreams::write(*storage, QStringLiteral("GUID") + QString::number(i), StorageMode::Write, network->GUID(),
                               true);
        network->Saved = false;
    }
    if (!root->FileStore(*storage) || !LowerLevelNetworksStore(*storage, root, objprogress))
        return false;
    storage->Commit();
    return true;
}

bool ctlPelnet::LowerLevelNetworksSave(DocumentOutput& output, const std::shared_ptr<clsNetwork>& objnetwork,
                                       AbstractProgressBar* objprogress)
{
    return trapped(kModule, "LowerLevelNetworksSave", false, [&] {
        const BusyPointer busy;
        bool allWritten = true;
        forEachNode(*requireObject(objnetwork), [&](const std::shared_ptr<Node>& node) {
            // A node whose lower level is not open has nothing to write.
            if (!allWritten || !node->External() || !node->LowerLevelNetwork)
                return;
            const auto lower = lowerLevelNetworkOf(*node);
            // FileSave writes nothing for a network this save wrote already.
            const bool writtenBefore = lower->Saved;
            allWritten = lower->FileSave(&output) || writtenBefore;
            // A network met again (levels that open each other) is not walked again.
            if (allWritten && m_lowerLevelsWritten.insert(lower.get()).second)
                allWritten = LowerLevelNetworksSave(output, lower, objprogress);
        });
        return allWritten;
    });
}

bool ctlPelnet::LowerLevelNetworksStore(platform::RootStorage& rootStg, const std::shared_ptr<clsNetwork>& objnetwork,
                                        AbstractProgressBar* objprogress)
{
    return trapped(kModule, "LowerLevelNetworksStore", false, [&] {
        const BusyPointer busy;
        bool allStored = true;
        forEachNode(*requireObject(objnetwork), [&](const std::shared_ptr<Node>& node) {
            if (!allStored || !node->External() || !node->LowerLevelNetwork)
                return;
            const auto lower = lowerLevelNetworkOf(*node);
            const bool storedBefore = lower->Saved;
            allStored = lower->FileStore(rootStg) || storedBefore;
            if (allStored && m_lowerLevelsWritten.insert(lower.get()).second)
                allStored = LowerLevelNetworksStore(rootStg, lower, objprogress);
        });
        return allStored;
    });
}

} // namespace kelvane
