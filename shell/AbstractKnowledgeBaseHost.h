#pragma once

#include "platform/Service.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace kelvane {

class clsNetwork;
class frmNavigate;

// The knowledge-base object and the macro host as the main window's load, its commands and
// its shutdown reach them. The automation layer installs its implementation as the service
// below; until it does, the neutral one keeps a plain knowledge base for the open document
// and no macro project.
class AbstractKnowledgeBaseHost {
public:
    virtual ~AbstractKnowledgeBaseHost() = default;

    // Starts the macro host with the application object; called once by the window's load.
    virtual void StartMacroHost(frmNavigate& mainWindow) = 0;

    // A new knowledge base becomes the current one (basGlobal::CurrentKnowledgeBase), bound to
    // `network`; its macro project is opened for the document `documentPath` (inside a compound
    // file, or from the ".vba" file beside an XML document) and connected.
    virtual void CreateKnowledgeBase(const std::shared_ptr<clsNetwork>& network, const QString& documentPath) = 0;

    // Closes the current knowledge base's macro project and lets the knowledge base go.
    virtual void ReleaseKnowledgeBase() = 0;

    // A save writes the current knowledge base's macro project first, for the document about
    // to be written at `documentPath` (a temporary copy): into that compound file, made afresh,
    // or into the file beside an XML document (documentfiles::MacroSideFile). The project stays
    // in memory. False when it could not be written: the document is then not saved either.
    virtual bool SaveProject(const QString& documentPath) = 0;
    // Once the saved document is in place at `documentPath`, the project is opened again from it.
    virtual void OpenProject(const QString& documentPath) = 0;

    // The knowledge base's Load and Unload events; a handler may set Cancel.
    virtual void FireLoad(bool& Cancel) = 0;
    virtual void FireUnload(bool& Cancel) = 0;

    // Before the program closes: asks about macro edits not saved with the document (a Yes
    // saves the document with them). False when the close must stop: the user cancelled, or
    // the save failed.
    virtual bool QueryUnload() { return true; }

    // The names of the macro project's menu items ("&Tools" menu) and report menu items
    // ("&Reports" menu), in order.
    virtual QStringList MenuItemNames() = 0;
    virtual QStringList ReportMenuItemNames() = 0;

    // Raises MenuClick once for every menu item, then every report menu item, whose name is
    // `identifier` (exact comparison).
    virtual void FireMenuClick(const QString& identifier) = 0;

    // The once-a-second look at the macro host's state.
    virtual void PollMacroHost() = 0;
};

// Without an automation layer: a knowledge base that holds the document's network and takes
// its automatic-answering flag from it; no macro project, no handlers, no menu items.
class NeutralKnowledgeBaseHost : public AbstractKnowledgeBaseHost {
public:
    void StartMacroHost(frmNavigate&) override {}
    void CreateKnowledgeBase(const std::shared_ptr<clsNetwork>& network, const QString& documentPath) override;
    void ReleaseKnowledgeBase() override;
    bool SaveProject(const QString&) override { return true; }
    void OpenProject(const QString&) override {}
    void FireLoad(bool&) override {}
    void FireUnload(bool&) override {}
    QStringList MenuItemNames() override { return {}; }
    QStringList ReportMenuItemNames() override { return {}; }
    void FireMenuClick(const QString&) override {}
    void PollMacroHost() override {}
};

} // namespace kelvane

template <>
struct platform::ServiceDefault<kelvane::AbstractKnowledgeBaseHost> {
    static std::unique_ptr<kelvane::AbstractKnowledgeBaseHost> create()
    {
        return std::make_unique<kelvane::NeutralKnowledgeBaseHost>();
    }
};

namespace kelvane {

inline AbstractKnowledgeBaseHost& knowledgeBaseHost()
{
    return platform::Service<AbstractKnowledgeBaseHost>::get();
}

} // namespace kelvane
