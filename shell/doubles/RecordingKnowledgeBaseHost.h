#pragma once

#include "network/clsNetwork.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/DocumentFiles.h"

#include <QFile>
#include <QStringList>

namespace kelvane::doubles {

// A knowledge-base host for tests: records every call in `calls` ("CreateKnowledgeBase <path>",
// "FireLoad", ...), cancels Load or Unload on request, and offers the menu items it is given.
// Its macro project is `project`: a save writes those bytes into the file beside an XML
// document (nothing when they are empty), or fails when asked to.
class RecordingKnowledgeBaseHost : public NeutralKnowledgeBaseHost {
public:
    QStringList calls;
    bool cancelLoad = false;
    bool cancelUnload = false;
    QStringList menuItems;
    QStringList reportMenuItems;
    QStringList menuClicks;
    QByteArray project;
    bool failProjectSave = false;

    void StartMacroHost(frmNavigate&) override { calls << QStringLiteral("StartMacroHost"); }
    void CreateKnowledgeBase(const std::shared_ptr<clsNetwork>& network, const QString& documentPath) override
    {
        calls << QStringLiteral("CreateKnowledgeBase ") + documentPath;
        m_network = network;
        NeutralKnowledgeBaseHost::CreateKnowledgeBase(network, documentPath);
    }
    void ReleaseKnowledgeBase() override
    {
        calls << QStringLiteral("ReleaseKnowledgeBase");
        NeutralKnowledgeBaseHost::ReleaseKnowledgeBase();
    }
    bool SaveProject(const QString& documentPath) override
    {
        calls << QStringLiteral("SaveProject ") + documentPath;
        if (failProjectSave)
            return false;
        const auto network = m_network.lock();
        if (project.isEmpty() || !network || network->Structured)
            return true;
        QFile side(documentfiles::MacroSideFile(documentPath));
        return side.open(QIODevice::WriteOnly) && side.write(project) == project.size();
    }
    void OpenProject(const QString& documentPath) override { calls << QStringLiteral("OpenProject ") + documentPath; }
    void FireLoad(bool& Cancel) override
    {
        calls << QStringLiteral("FireLoad");
        Cancel = cancelLoad;
    }
    void FireUnload(bool& Cancel) override
    {
        calls << QStringLiteral("FireUnload");
        Cancel = cancelUnload;
    }
    QStringList MenuItemNames() override { return menuItems; }
    QStringList ReportMenuItemNames() override { return reportMenuItems; }
    void FireMenuClick(const QString& identifier) override
    {
        for (const QString& name : menuItems + reportMenuItems) {
            if (name == identifier)
                menuClicks << name;
        }
    }
    void PollMacroHost() override { calls << QStringLiteral("PollMacroHost"); }

private:
    std::weak_ptr<clsNetwork> m_network;
};

} // namespace kelvane::doubles
