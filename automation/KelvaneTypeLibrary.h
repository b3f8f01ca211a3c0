#pragma once

#include "platform/automation/TypeLibrary.h"

// What the program describes of its automation classes: the document object KnowledgeBase
// with its events, the application object, menu items, the collection, the editor and the
// macro project, and the model's classes it hands out (nodes, links, layers, pages, text
// labels, fonts, properties, controls, reports, report items and link spans), and the
// diagram's clipboard with its entries.
namespace kelvane::automation {

const platform::automation::TypeLibraryDescription& typeLibrary();

// The default interface of a class, and its event interface (null when it raises none).
const platform::automation::InterfaceDescription& membersOf(const QString& className);
const platform::automation::InterfaceDescription* eventsOf(const QString& className);

} // namespace kelvane::automation
