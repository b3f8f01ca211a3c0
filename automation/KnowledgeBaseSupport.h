#pragma once

#include "automation/APCIntegration.h"
#include "automation/AutomationHost.h"
#include "model/basLibrary.h"

// What the members of KnowledgeBase, spread over files by concern, share.
namespace kelvane::knowledgebasesupport {

inline constexpr const char* kModule = "KnowledgeBase";

// The main window and the macro host of the installed automation host; null without one.
inline KnowledgeBaseWindow* mainWindow()
{
    const AutomationHost* host = automationHost();
    return host ? host->window() : nullptr;
}

inline APCIntegration* macroHost()
{
    const AutomationHost* host = automationHost();
    return host ? &host->macroHost() : nullptr;
}

// Macro code of some project is running now: what is done is done for a document's macros,
// not for the user or the user's own programs.
inline bool macroCodeRunning()
{
    const APCIntegration* host = macroHost();
    return host && host->macroCodeRunning();
}

inline QString withoutBlanks(const QString& text)
{
    return basLibrary::ReplaceAll(text, QStringLiteral(" "), QString());
}

} // namespace kelvane::knowledgebasesupport
