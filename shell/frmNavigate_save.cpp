// Save and Save As. The document is never written over its real file: it is written as "~" and
// its file name in the temporary folder, and only a complete copy replaces the real file.

#include "shell/frmNavigate.h"

#include "diagram/UnsavedState.h"
#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/basLibrary.h"
#include "network/DocumentName.h"
#include "network/clsNetwork.h"
#include "platform/FileDialogs.h"
#include "platform/UiServices.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/DocumentFiles.h"
#include "shell/ProgressBarControl.h"

#include <QFileInfo>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmNavigate";
constexpr int kReplaceStyle = platform::msgbox::YesNo | platform::msgbox::Exclamation | platform::msgbox::DefaultButton2;

void tell(const QString& text)
{
    platform::ui().messageBox(text, platform::msgbox::Exclamation, platform::applicationTitle());
}

void tellReadOnly(const QString& path)
{
    tell(path + QStringLiteral(" is read only, unable to save file"));
}

// What a Save As offers first, by the kind of document open.
struct SaveAsChoice {
    int filterIndex = 2;
    QString defaultExtension = QStringLiteral(".xml");
};

SaveAsChoice saveAsChoiceFor(const clsNetwork& network)
{
    if (!network.Structured || documentfiles::EndsWith(network.FileName(), QStringLiteral(".XML")))
        return {};
    if (network.NetworkType == 0)
        return {3, QString()}; // a template: no extension is added
    return {1, QStringLiteral(".qks")};
}

// The current name less its extension, unless a template keeps its whole name.
QString proposedName(const QString& fileName, int filterIndex)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (fileName.size() > 4 && dot >= fileName.size() - 5 && filterIndex != 3)
        return fileName.left(dot);
    return fileName;
}

// Why the document could not be written as its temporary copy: the temporary folder gone,
// else what the diagram's save said ("" when it said nothing).
QString whyNotWritten(const QString& temporary, const QString& saveError)
{
    const QString folder = QFileInfo(temporary).absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("The temporary folder %1 does not exist.").arg(folder);
    return saveError;
}

} // namespace

bool frmNavigate::mnuFileSave_Click()
{
    return trapped(kModule, "mnuFileSave_Click", false, [&] {
        const QString fileName = m_ctlPelnet1->Network()->FileName();
        if (fileName.isEmpty())
            return mnuFileSaveAs_Click();
        return saveThroughTemporaryCopy(fileName, false);
    });
}

bool frmNavigate::mnuFileSaveAs_Click()
{
    return trapped(kModule, "mnuFileSaveAs_Click", false, [&] {
        const auto network = m_ctlPelnet1->Network();
        const SaveAsChoice choice = saveAsChoiceFor(*network);
        platform::FileDialogRequest request;
        request.initialFolder = basLibrary::DocumentsFolder;
        request.title = QStringLiteral("Save Scenario As");
        request.filterIndex = choice.filterIndex;
        request.fileName = proposedName(network->FileName(), choice.filterIndex);
        request.filter = QStringLiteral("Kelvane Scenarios (*.qks)|*.qks|Kelvane XML (*.xml)|*.xml|All files (*.*)|*.*");
        request.flags = platform::FileDialogRequest::kHideReadOnly;
        const auto chosen = platform::fileDialogs().showSave(request);
        if (!chosen || chosen->isEmpty())
            return false;

        // A dot in a folder's name is no extension.
        QString path = *chosen;
        if (!basLibrary::FileNameOfPath(path).contains(u'.'))
            path += choice.defaultExtension;
        m_dialogFileName = path;
        basLibrary::DocumentsFolder = basLibrary::FolderOfPath(path);
        if (basLibrary::FileExists(path)) {
            if (documentfiles::IsReadOnly(path)) {
                tellReadOnly(path);
                return false;
            }
            const int answer = platform::ui().messageBox(
                path + QStringLiteral(" already exists.\rDo you want to replace it?"), kReplaceStyle,
                platform::applicationTitle());
            if (answer != platform::msgbox::Yes)
                return false;
        }

        return SaveDocumentAs(path);
    });
}

bool frmNavigate::SaveDocumentAs(const QString& path)
{
    // The document takes the new name, and the kind and storage form of its extension, only
    // once it was saved under it.
    const auto network = m_ctlPelnet1->Network();
    const DocumentName previous(*network);
    network->setFileName(path);
    if (!saveThroughTemporaryCopy(network->FileName(), true)) {
        previous.restore(*network);
        return false;
    }
    return true;
}

bool frmNavigate::saveThroughTemporaryCopy(const QString& realPath, bool saveAs)
{
    const auto network = m_ctlPelnet1->Network();
    if (documentfiles::IsReadOnly(realPath)) {
        tellReadOnly(realPath);
        return false;
    }
    const QString temporary = documentfiles::TemporaryCopy(realPath);
    // Only a document kept as XML has its macro project in a file of its own.
    const bool sideFile = !network->Structured;
    const QString temporarySide = sideFile ? documentfiles::MacroSideFile(temporary) : QString();
    const QString realSide = sideFile ? documentfiles::MacroSideFile(realPath) : QString();
    // The macro project's file belongs to the document: a read-only one is respected alike.
    if (sideFile && documentfiles::IsReadOnly(realSide)) {
        tellReadOnly(realSide);
        return false;
    }
    const auto removeTemporaryFiles = [&] {
        documentfiles::Remove(temporary);
        documentfiles::Remove(temporarySide);
    };
    removeTemporaryFiles(); // left by an earlier save that went wrong

    const UnsavedState unsaved(m_ctlPelnet1->Networks);
    network->setFileName(temporary);
    bool saved = trapped(kModule, "SaveProj", false, [&] {
        return knowledgeBaseHost().SaveProject(temporary) && m_ctlPelnet1->FileSave(m_ProgressBar1);
    });
    network->setFileName(realPath);

    QString error;
    if (saved) {
        if (saveAs)
            platform::ui().yield();
        // The macro project's file first: when the folder refuses writes, nothing is replaced.
        saved = (!sideFile || !basLibrary::FileExists(temporarySide)
                 || documentfiles::ReplaceWithCopy(temporarySide, realSide, error))
            && documentfiles::ReplaceWithCopy(temporary, realPath, error);
    } else {
        error = whyNotWritten(temporary, m_ctlPelnet1->SaveError());
    }
    removeTemporaryFiles();
    if (!saved) {
        if (!error.isEmpty())
            qWarning("%s", qPrintable(error));
        unsaved.restore(m_ctlPelnet1->Loaded);
        // The reason follows on a line of its own, when there is one.
        tell(QStringLiteral("An error occurred saving ") + realPath + u'\r' + error);
        return false;
    }
    trappedVoid(kModule, "OpenProject", [&] { knowledgeBaseHost().OpenProject(realPath); });
    UpdateMRU(realPath);
    return true;
}

} // namespace kelvane
