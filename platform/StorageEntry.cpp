#include "platform/StorageEntry.h"

#include <algorithm>

namespace platform {

StorageEntry StorageEntry::emptyRoot()
{
    StorageEntry root;
    root.isStorage = true;
    return root;
}

StorageEntry* StorageEntry::findChild(const QString& childName)
{
    return children.find(childName);
}

const StorageEntry* StorageEntry::findChild(const QString& childName) const
{
    return children.find(childName);
}

bool StorageEntry::isValidName(const QString& candidate)
{
    // The file format keeps 31 UTF-16 code units of a name and reserves these characters.
    constexpr qsizetype kMaxNameLength = 31;
    if (candidate.isEmpty() || candidate.size() > kMaxNameLength)
        return false;
    return std::none_of(candidate.begin(), candidate.end(), [](QChar c) {
        return c == u'/' || c == u'\\' || c == u':' || c == u'!';
    });
}

} // namespace platform
