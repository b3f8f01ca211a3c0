// The File commands that replace the open document: New chooses a knowledge base, Open a
// scenario, and a recently-used entry reopens its file. Each asks about unsaved changes first,
// opens the new document aside and takes it in only once it opened whole.

#include "shell/frmNavigate.h"

#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "network/NetworkRecompute.h"
#include "network/clsNetwork.h"
#include "platform/FileDialogs.h"
#include "platform/UiServices.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/DocumentFiles.h"
#include "shell/ProgressBarControl.h"
#include "shell/ShellGlobals.h"


namespace kelvane {

namespace {

constexpr const char* kModule = "frmNavigate";
constexpr int kSaveChangesStyle = platform::msgbox::YesNoCancel | platform::msgbox::Question;
constexpr int kMustExist = platform::FileDialogRequest::kFileMustExist | platform::FileDialogRequest::kHideReadOnly;

void tell(const QString& text)
{
    platform::ui().messageBox(text, platform::msgbox::Exclamation, platform::applicationTitle());
}

} // namespace

bool frmNavigate::saveChangesFirst()
{
    if (!m_ctlPelnet1->Dirty())
        return true;
    QString name = m_ctlPelnet1->Network()->ScenarioName();
    if (name.isEmpty())
        name = QStringLiteral("Scenario");
    const int answer = platform::ui().messageBox(name + QStringLiteral(" has changed. Do you wish to save the changes?"),
                                                 kSaveChangesStyle, platform::applicationTitle());
    if (answer == platform::msgbox::Cancel)
        return false;
    return answer != platform::msgbox::Yes || mnuFileSave_Click();
}

void frmNavigate::mnuFileNew_Click()
{
    trappedVoid(kModule, "mnuFileNew_Click", [&] {
        if (!saveChangesFirst())
            return;
        platform::FileDialogRequest request;
        request.initialFolder = basLibrary::DocumentsFolder;
        request.title = QStringLiteral("Select Knowledge Base");
        request.filter = QStringLiteral("Knowledge Base (*.qkb)|*.qkb|All files (*.*)|*.*");
        request.flags = kMustExist;
        const QString path = platform::fileDialogs().showOpen(request).value_or(QString());
        m_dialogFileName.clear();
        if (!path.isEmpty())
            openAnotherDocument(path, OpenCommand::New);
    });
}

void frmNavigate::mnuFileOpen_Click()
{
    trappedVoid(kModule, "mnuFileOpen_Click", [&] {
        if (!saveChangesFirst())
            return;
        platform::FileDialogRequest request;
        request.initialFolder = basLibrary::DocumentsFolder;
        request.fileName = m_dialogFileName;
        request.title = QStringLiteral("Open Scenario");
        request.filter = QStringLiteral("Kelvane Scenario (*.qks)|*.qks|All files (*.*)|*.*");
        request.flags = kMustExist;
        const auto chosen = platform::fileDialogs().showOpen(request);
        if (!chosen || chosen->isEmpty())
            return;
        m_dialogFileName = *chosen;
        basLibrary::DocumentsFolder = basLibrary::FolderOfPath(*chosen);
        openAnotherDocument(*chosen, OpenCommand::Open);
    });
}

void frmNavigate::mnuFileMRU_Click(int Index)
{
    trappedVoid(kModule, "mnuFileMRU_Click", [&] {
        const QString path = basGlobal::RecentFiles.at(std::size_t(Index));
        // A file that went is said so before anything is asked; its entry stays.
        if (!basLibrary::FileExists(path)) {
            tell(path + QStringLiteral(" does not exist"));
            return;
        }
        if (saveChangesFirst())
            openAnotherDocument(path, OpenCommand::Recent);
    });
}

void frmNavigate::openAnotherDocument(const QString& path, OpenCommand command)
{
    const bool isNew = command == OpenCommand::New;

    // The document is opened aside: one that cannot be opened whole (missing, damaged, locked,
    // a password refused) leaves the open document, its caption and its knowledge base alone.
    const QString caption = Caption();
    ctlPelnet opened;
    opened.ParentForm = this;
    opened.Network()->setFileName(path);
    if (!opened.FileOpen(m_ProgressBar1)) {
        setCaption(caption);
        if (!opened.OpenRefusalShown())
            tell(path + QStringLiteral(" could not be opened."));
        return;
    }

    if (isNew)
        DocumentReady = false;
    platform::ui().yield();
    knowledgeBaseHost().ReleaseKnowledgeBase();
    platform::ui().yield();
    m_ctlPelnet1->TakeDocument(opened);
    const auto network = m_ctlPelnet1->Network();
    if (isNew) {
        if (!documentfiles::EndsWith(path, QStringLiteral(".QSN")) && !documentfiles::EndsWith(path, QStringLiteral(".QKS")))
            m_ctlPelnet1->KnowledgeBaseMode = true;
        basGlobal::DocumentPath = path;
        ResetAnswers(m_ctlPelnet1->Networks);
        RecomputeDegreesOfTruth(m_ctlPelnet1->Networks);
    }

    // Whichever command opened it, the caption and Help's about entry are the document's.
    showDocumentCaption();
    m_ctlPelnet1->DrawNetwork();
    if (isNew) {
        for (const auto& open : m_ctlPelnet1->Networks) {
            if (open)
                open->setDirty(false);
        }
    }

    knowledgeBaseHost().CreateKnowledgeBase(network, path);
    bool loadCancelled = false;
    knowledgeBaseHost().FireLoad(loadCancelled);
    if (isNew) {
        DocumentReady = true;
    } else {
        RecomputeDegreesOfTruth(m_ctlPelnet1->Networks);
        m_ctlPelnet1->DrawNetwork();
    }
    if (!loadCancelled) {
        setWindowState(windowState() | Qt::WindowMaximized);
        mnuFile_Click();
        platform::ui().yield();
        show();
        platform::ui().yield();
        showIntroduction();
        if (isNew)
            m_ctlPelnet1->DrawNetwork();
    }
    // A knowledge base is not saved over: the next Save asks for a scenario's name.
    if (isNew)
        network->setFileName({});
    PopulateToolsMenu();
    if (!isNew)
        UpdateMRU(path);
}

} // namespace kelvane
