#pragma once

#include <QString>

// The request file and the spool files: a message and a line end, in UTF-8 (what an XML
// message without an encoding declaration is read as).
namespace kelvane::server {

// Writes the file whole, replacing an older one only once every byte is written; raises
// PathFileAccess when it cannot be written (the older file then stays as it was).
void WriteTextFile(const QString& path, const QString& text);

// Writes a new file that only its owner may read or write; false, and nothing written, when
// a file (or link) of that name exists already. Raises PathFileAccess, with the system's
// reason, when it cannot be written whole (nothing is left behind).
bool CreateTextFile(const QString& path, const QString& text);

} // namespace kelvane::server
