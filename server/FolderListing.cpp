#include "server/FolderListing.h"

#include "server/ReplyElements.h"

#include <optional>

namespace kelvane {

using server::ReplyElement;
namespace replyelements = server::replyelements;

namespace {

// What an element of the listing is to its reader.
enum class Role { Other, Folder, FolderName, FolderList, FileList, File, FileName, FileGUID };

// Reads a listing in one pass over its elements, however deep they nest: each folder and file
// is filled as its elements close. A folder takes the first "Name", "Folders" and "Files"
// directly inside it, and a file the first "Name" and "GUID"; the listing's folder is the
// first element at its top that is not empty.
class ListingReader : public replyelements::ElementVisitor {
public:
    void opened(QStringView name, int depth) override;
    bool closed(const ReplyElement& element, int depth) override;

    std::optional<ServerFolder> Root;

private:
    struct OpenFolder {
        ServerFolder folder;
        int level = 1;
        bool named = false, listed = false, filed = false;
    };
    struct OpenFile {
        ServerFile file;
        bool named = false, identified = false;
    };

    Role roleInFolder(QStringView name);
    Role roleInFile(QStringView name);

    QList<Role> m_roles; // of every open element, outermost first
    QList<OpenFolder> m_folders; // the open folder elements, outermost first
    OpenFile m_file; // the open file element
};

Role ListingReader::roleInFolder(QStringView name)
{
    OpenFolder& open = m_folders.last();
    if (name == u"Name" && !open.named) {
        open.named = true;
        return Role::FolderName;
    }
    if (name == u"Folders" && !open.listed) {
        open.listed = true;
        return open.level < kDeepestFolder ? Role::FolderList : Role::Other;
    }
    if (name == u"Files" && !open.filed) {
        open.filed = true;
        return Role::FileList;
    }
    return Role::Other;
}

Role ListingReader::roleInFile(QStringView name)
{
    if (name == u"Name" && !m_file.named) {
        m_file.named = true;
        return Role::FileName;
    }
    if (name == u"GUID" && !m_file.identified) {
        m_file.identified = true;
        return Role::FileGUID;
    }
    return Role::Other;
}

void ListingReader::opened(QStringView name, int depth)
{
    Role role = Role::Other;
    if (depth == 0) {
        if (!Root) {
            role = Role::Folder;
            m_folders.append(OpenFolder {});
        }
    } else {
        switch (m_roles.last()) {
        case Role::Folder:
            role = roleInFolder(name);
            break;
        case Role::FolderList:
            if (name == u"Folder") {
                role = Role::Folder;
                m_folders.append(OpenFolder {{}, m_folders.last().level + 1});
            }
            break;
        case Role::FileList:
            if (name == u"File") {
                role = Role::File;
                m_file = {};
            }
            break;
        case Role::File:
            role = roleInFile(name);
            break;
        default:
            break;
        }
    }
    m_roles.append(role);
}

bool ListingReader::closed(const ReplyElement& element, int /*depth*/)
{
    switch (m_roles.takeLast()) {
    case Role::FolderName:
        m_folders.last().folder.Name = replyelements::text(element).trimmed();
        break;
    case Role::FileName:
        m_file.file.Name = replyelements::text(element).trimmed();
        break;
    case Role::FileGUID:
        m_file.file.GUID = replyelements::text(element).trimmed();
        break;
    case Role::File:
        m_folders.last().folder.Files.append(std::move(m_file.file));
        break;
    case Role::Folder: {
        OpenFolder done = m_folders.takeLast();
        if (!m_folders.isEmpty())
            m_folders.last().folder.Folders.append(std::move(done.folder));
        else if (!element.content.isEmpty())
            Root = std::move(done.folder);
        break;
    }
    default:
        break;
    }
    return true;
}

} // namespace

ServerFolder ReadFolderListing(const QString& xml)
{
    ListingReader reader;
    if (!replyelements::walk(xml, reader) || !reader.Root)
        return {};
    return std::move(*reader.Root);
}

} // namespace kelvane
