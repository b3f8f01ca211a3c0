#pragma once

#include "platform/automation/ClassServer.h"

#include <QString>

// The program's creatable classes (KnowledgeBase, CApplication, MenuItem, Property, clsControl,
// clsAction, clsClipboard, Page, URI) as callers create them by ProgID through the platform's
// activation layer: "Kelvane." and the class's name. While the automation layer is installed
// (AutomationInstallation) the classes are offered to the activator; the program enters them in
// the registry as its local server when it starts. A new KnowledgeBase is unbound, as `new`
// makes one; CApplication is the program's own application object.
namespace kelvane::automation {

const platform::automation::ClassServer& programClassServer();

// Enters the classes in the registry with `programPath` as their server. A registry that cannot
// be written is logged, not raised: the program runs on without it.
void registerProgramClasses(const QString& programPath);

} // namespace kelvane::automation
