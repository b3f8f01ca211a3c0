// The knowledge base's macro project: where it is kept, made, opened, connected, written with
// the document and read again after a save, and the editor's save.

#include "automation/KnowledgeBase.h"

#include "automation/KelvaneTypeLibrary.h"
#include "automation/KnowledgeBaseSupport.h"
#include "automation/KnowledgeBaseWindow.h"
#include "automation/MacroEventSink.h"
#include "automation/MacroProject.h"
#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "network/BusyPointer.h"
#include "network/NetworkSupport.h"
#include "network/clsNetwork.h"
#include "platform/FileDialogs.h"
#include "platform/HostPath.h"
#include "platform/UiServices.h"
#include "platform/automation/EventConnection.h"
#include "shell/DocumentFiles.h"

#include <utility>

namespace kelvane {

using namespace automation;
using namespace knowledgebasesupport;

QString KnowledgeBase::documentNameOr(const QString& documentName)
{
    return documentName.isEmpty() ? BoundNetwork()->FileName() : documentName;
}

QString KnowledgeBase::projectFileOf(const QString& documentName)
{
    // By the form the document is kept in, as the save decides: its name may say otherwise.
    if (documentName.isEmpty() || BoundNetwork()->Structured)
        return documentName;
    return documentfiles::MacroSideFile(documentName);
}

void KnowledgeBase::NewProject()
{
    trappedVoid(kModule, "NewProject", [&] {
        APCIntegration* host = macroHost();
        if (!host)
            return;
        CloseProject();
        m_project = host->NewProject(withoutBlanks(KBName()));
    });
}

void KnowledgeBase::startUnstoredProject()
{
    NewProject();
    carry({});
    if (m_project)
        m_project->setName(KBName());
}

bool KnowledgeBase::OpenProject(const QString& documentName, bool tellForeign)
{
    return trapped(kModule, "OpenProject", false, [&] {
        const QString document = documentNameOr(documentName);
        const QString fileName = projectFileOf(document);
        APCIntegration* host = macroHost();
        if (!host)
            return true;
        const QString hostFileName = platform::hostPath(fileName);
        if (fileName.isEmpty() || !basLibrary::FileExists(hostFileName)) {
            startUnstoredProject();
            return true;
        }
        try {
            const auto stored = projectstorage::readFile(hostFileName, fileName == document);
            CloseProject();
            m_project = host->NewProject(stored.name.isEmpty() ? withoutBlanks(KBName()) : stored.name);
            m_project->setModules(stored.modules);
            m_project->readOnly = networksupport::isReadOnlyFile(hostFileName);
            m_project->storageFile = stored.found ? hostFileName : QString();
            carry(stored.carried);
            if (tellForeign && m_carried.holdsStorages())
                automationHost()->tellForeignEntriesOnce(document, m_carried.holdsForeignMacros());
        } catch (const RuntimeError&) {
            platform::ui().messageBox(
                QStringLiteral("This file's VBA is read only, already opened exclusively or is the wrong version"),
                platform::msgbox::Exclamation, platform::applicationTitle());
            startUnstoredProject();
        }
        return true;
    });
}

void KnowledgeBase::Class_Connect()
{
    trappedVoid(kModule, "Class_Connect", [&] {
        if (!m_project)
            return;
        const DispatchObject self = dispatch();
        m_project->addItem(m_itemName, self);
        const auto* events = eventsOf(QString::fromLatin1(kClassName));
        m_projectItem = self.advise(std::make_shared<MacroEventSink>(m_project, m_itemName, *events));
    });
}

void KnowledgeBase::setName(const QString& name)
{
    trappedVoid(kModule, "Name", [&] {
        const QString itemName = basLibrary::ReplaceAll(name, QStringLiteral(" "), QStringLiteral("_"));
        if (itemName.isEmpty() || itemName == m_itemName)
            return;
        const QString previous = std::exchange(m_itemName, itemName);
        if (m_project && m_projectItem) {
            m_project->renameItem(previous, m_itemName);
            Class_Connect();
        }
    });
}

void KnowledgeBase::carry(projectstorage::CarriedEntries carried)
{
    m_carried = std::move(carried);
    if (m_project)
        m_project->setReservedNames(m_carried.moduleStorageNames());
}

bool KnowledgeBase::WriteProject(const QString& documentPath)
{
    return trapped(kModule, "WriteProject", false, [&] {
        const bool carries = !m_carried.beside.empty() || !m_carried.inside.empty() || !m_carried.insideModules.empty();
        if (documentPath.isEmpty() || (!m_project && !carries))
            return true;
        const QString fileName =
            BoundNetwork()->Structured ? documentPath : documentfiles::MacroSideFile(documentPath);
        if (m_project && !m_project->modules().isEmpty() && m_carried.holdsForeignStorage()) {
            platform::ui().messageBox(
                QStringLiteral("The macros of this knowledge base cannot be saved: its file holds a storage named "
                               "\"%1\" that another program wrote, and it is kept as it is.")
                    .arg(projectstorage::kStorageName),
                platform::msgbox::Exclamation, platform::applicationTitle());
            return false;
        }
        // A knowledge base whose project was taken away still carries what its file held.
        const projectstorage::StoredProject stored = m_project
            ? projectstorage::snapshotOf(*m_project, m_carried)
            : projectstorage::carriedAlone(m_carried, withoutBlanks(KBName()));
        projectstorage::writeFile(platform::hostPath(fileName), stored);
        return true;
    });
}

bool KnowledgeBase::SaveProj(const QString& documentName, AbstractProgressBar* progressBar)
{
    return trapped(kModule, "SaveProj", false, [&] {
        const QString document = documentNameOr(documentName);
        KnowledgeBaseWindow* window = mainWindow();
        if (document.isEmpty() || !window || !WriteProject(document))
            return false;
        platform::ui().yield();
        return window->ctlPelnet1().FileSave(progressBar);
    });
}

void KnowledgeBase::CloseProject()
{
    m_projectItem.reset();
    if (APCIntegration* host = macroHost())
        host->CloseProject(m_project);
    m_project.reset();
}

void KnowledgeBase::ReopenProject(const QString& documentName)
{
    trappedVoid(kModule, "ReopenProject", [&] {
        const QString document = documentNameOr(documentName);
        const QString fileName = projectFileOf(document);
        if (!m_project) {
            OpenProject(document);
            Class_Connect();
            return;
        }
        const QString hostFileName = platform::hostPath(fileName);
        const auto stored = projectstorage::readFile(hostFileName, fileName == document);
        carry(stored.carried);
        m_project->setChanged(false);
        if (!stored.found)
            return;
        // The code the editor shows runs on as it is when nothing in it changed.
        if (stored.modules != m_project->modules())
            m_project->setModules(stored.modules);
        m_project->setName(stored.name);
        m_project->readOnly = networksupport::isReadOnlyFile(hostFileName);
        m_project->storageFile = hostFileName;
        m_project->setChanged(false);
    });
}

void KnowledgeBase::ApcProject_Save()
{
    trappedVoid(kModule, "ApcProject_Save", [&] {
        const BusyPointer busy;
        KnowledgeBaseWindow* window = mainWindow();
        if (!window)
            return;
        const auto network = BoundNetwork();
        const auto refuseReadOnly = [](const QString& name) {
            if (!documentfiles::IsReadOnly(name))
                return false;
            platform::ui().messageBox(name + QStringLiteral(" is read only, unable to save file"),
                                      platform::msgbox::Exclamation, platform::applicationTitle());
            return true;
        };
        const QString name = network->FileName();
        if (!name.isEmpty()) {
            if (!refuseReadOnly(name))
                window->SaveDocument();
            return;
        }

        platform::FileDialogRequest request;
        request.initialFolder = basLibrary::DocumentsFolder;
        request.filter = QStringLiteral("Knowledge Bases (*.qkb)|*.qkb|Knowledge Template (*.qkt)|*.qkt|"
                                        "XML file (*.xml)|*.xml|All files (*.*)|*.*");
        QString extension;
        if (network->Structured && network->NetworkType != 2) {
            request.filterIndex = 1;
            extension = QStringLiteral(".qkb");
        } else if (network->Structured) {
            request.filterIndex = 4;
        } else {
            request.filterIndex = 3;
            extension = QStringLiteral(".xml");
        }
        request.flags = platform::FileDialogRequest::kHideReadOnly;
        const auto chosen = platform::fileDialogs().showSave(request);
        if (!chosen || chosen->isEmpty())
            return;
        QString fileName = *chosen;
        if (!basLibrary::FileNameOfPath(fileName).contains(u'.'))
            fileName += extension;
        basLibrary::DocumentsFolder = basLibrary::FolderOfPath(fileName);
        if (basLibrary::FileExists(platform::hostPath(fileName))) {
            if (refuseReadOnly(fileName))
                return;
            const int answer = platform::ui().messageBox(
                fileName + QStringLiteral(" already exists.\rDo you want to replace it?"),
                platform::msgbox::YesNo | platform::msgbox::Exclamation | platform::msgbox::DefaultButton2,
                platform::applicationTitle());
            if (answer != platform::msgbox::Yes)
                return;
        }
        window->SaveDocumentAs(fileName);
    });
}

} // namespace kelvane
