#pragma once

#include "shell/AbstractKnowledgeBaseHost.h"

#include <QStringList>

namespace kelvane::doubles {

// A knowledge-base host for tests: records every call in `calls` ("CreateKnowledgeBase <path>",
// "FireLoad", ...), cancels Load or Unload on request, and offers the menu items it is given.
class RecordingKnowledgeBaseHost : public NeutralKnowledgeBaseHost {
public:
    QStringList calls;
    bool cancelLoad = false;
    bool cancelUnload = false;
    QStringList menuItems;
    QStringList reportMenuItems;
    QStringList menuClicks;

    void StartMacroHost(frmNavigate&) override { calls << QStringLiteral("StartMacroHost"); }
    void CreateKnowledgeBase(const std::shared_ptr<clsNetwork>& network, const QString& documentPath) override
    {
        calls << QStringLiteral("CreateKnowledgeBase ") + documentPath;
        NeutralKnowledgeBaseHost::CreateKnowledgeBase(network, documentPath);
    }
    void ReleaseKnowledgeBase() override
    {
        calls << QStringLiteral("ReleaseKnowledgeBase");
        NeutralKnowledgeBaseHost::ReleaseKnowledgeBase();
    }
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
};

} // namespace kelvane::doubles
