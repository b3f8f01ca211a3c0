#pragma once

#include <QList>
#include <QString>

namespace kelvane {

// A knowledge base the server offers: its display name and its GUID.
struct ServerFile {
    QString Name;
    QString GUID;
};

// One folder of the server's listing with the folders and knowledge bases it holds.
struct ServerFolder {
    QString Name;
    QList<ServerFolder> Folders;
    QList<ServerFile> Files;
};

// Reads a folder listing: a folder element holding "Name", "Folders" (a "Folder" element for
// each subfolder, built the same way, to any depth) and "Files" (a "File" element with
// "Name" and "GUID" for each knowledge base). A listing that is empty or cannot be read gives
// an empty folder; a part that cannot be read is left out. Folders nested deeper than
// kDeepestFolder levels are not read. The listing is read in one pass, whatever its depth.
ServerFolder ReadFolderListing(const QString& xml);

inline constexpr int kDeepestFolder = 256;

} // namespace kelvane
