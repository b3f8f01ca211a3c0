#pragma once

#include "model/clsAction.h"
#include "platform/Collection.h"

#include <memory>

namespace kelvane {

// What an entry records (clsAction::action) and what it holds (clsAction::ObjectType).
namespace clipboardentry {
inline constexpr qint16 Cut = 1;
inline constexpr qint16 Copy = 2;
inline constexpr qint16 PasteRecord = 3; // the shown network as it was before a paste
inline constexpr qint16 Snapshot = 5;    // the shown network as it was before an edit
inline constexpr qint16 OneNode = 1;
inline constexpr qint16 Network = 2;
} // namespace clipboardentry

// The in-memory clipboard of the diagram: copies, cuts, paste records and the snapshots
// taken before each edit, oldest first. One object serves every network and every diagram
// control of the run (sharedClipboard()).
class clsClipboard {
public:
    Collection<std::shared_ptr<clsAction>> Actions;
    bool Paste = false; // something was copied or cut during the run

    // The number of entries kept.
    static constexpr qsizetype kLimit = 40;

    // Drops the oldest entries beyond the limit.
    void CheckLimit();
};

// The run's clipboard, made on first use.
std::shared_ptr<clsClipboard> sharedClipboard();

} // namespace kelvane
