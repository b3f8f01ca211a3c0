#pragma once

#include "platform/Collection.h"

#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace kelvane {

class Node;
class clsNetwork;

// What a document save changes before the file is in place: the network writers clear the
// networks' changed flags, and the XML save drops the lower-level file names. Taken before a
// save, it gives them back when the save fails, so the document still counts as changed and
// still names its lower levels.
class UnsavedState {
public:
    explicit UnsavedState(const Collection<std::shared_ptr<clsNetwork>>& networks);

    // `loaded` is the diagram control's Loaded flag: it is lowered meanwhile, so that marking a
    // network changed again does not stamp a new version on it.
    void restore(bool& loaded) const;

private:
    std::vector<std::shared_ptr<clsNetwork>> m_dirty;
    std::vector<std::pair<std::shared_ptr<Node>, QString>> m_externalFiles;
};

} // namespace kelvane
