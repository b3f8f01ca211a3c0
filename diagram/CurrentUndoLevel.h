#pragma once

#include "platform/Collection.h"
#include "platform/Variant.h"

#include <memory>

namespace kelvane {

// The items added and deleted within one undo level. Nothing adds to them yet: the program
// keeps the levels but defines no undo.
using UndoItems = Collection<Variant>;

// The collections of the current undo level, shared by every diagram control of the run.
namespace CurrentUndoLevel {
inline std::shared_ptr<UndoItems> AddedItems = std::make_shared<UndoItems>();
inline std::shared_ptr<UndoItems> DeletedItems = std::make_shared<UndoItems>();
} // namespace CurrentUndoLevel

} // namespace kelvane
