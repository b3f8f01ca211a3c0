#include "server/FolderListing.h"

#include "server/ReplyElements.h"

namespace kelvane {

using server::ReplyElement;
namespace replyelements = server::replyelements;

namespace {

QString textOf(QStringView content, QStringView name)
{
    const std::optional<ReplyElement> element = replyelements::child(content, name);
    return element ? replyelements::text(*element).trimmed() : QString();
}

// The elements `itemName` inside the element `listName` of a folder.
QList<ReplyElement> listed(QStringView folder, QStringView listName, QStringView itemName)
{
    QList<ReplyElement> items;
    if (const std::optional<ReplyElement> list = replyelements::child(folder, listName)) {
        for (const ReplyElement& item : replyelements::children(list->content)) {
            if (item.name == itemName)
                items.append(item);
        }
    }
    return items;
}

ServerFolder readFolder(QStringView content, int depth)
{
    ServerFolder folder;
    folder.Name = textOf(content, u"Name");
    if (depth < kDeepestFolder) {
        for (const ReplyElement& subfolder : listed(content, u"Folders", u"Folder"))
            folder.Folders.append(readFolder(subfolder.content, depth + 1));
    }
    for (const ReplyElement& file : listed(content, u"Files", u"File"))
        folder.Files.append({textOf(file.content, u"Name"), textOf(file.content, u"GUID")});
    return folder;
}

} // namespace

ServerFolder ReadFolderListing(const QString& xml)
{
    const QList<ReplyElement> top = replyelements::children(xml);
    for (const ReplyElement& element : top) {
        if (!element.content.isEmpty())
            return readFolder(element.content, 1);
    }
    return {};
}

} // namespace kelvane
