#pragma once

#include <QString>

// The files around an open document as its saves see them: the temporary copy a save writes
// first, the macro project's file beside a document kept as XML, and the copy that replaces
// the real file.
namespace documentfiles {

// The file that holds the macro project of a document kept as XML: the document's path with
// the extension of its file name replaced by ".vba" (added when it has none). A compound file
// keeps its macro project inside; the caller decides by the network's compound-file flag.
QString MacroSideFile(const QString& documentPath);

// Where a save writes the document first: "~" and the document's file name, in the run's
// temporary folder.
QString TemporaryCopy(const QString& documentPath);

// True when the path's last four characters, in upper case, are `extension` (".XML").
bool EndsWith(const QString& path, const QString& extension);

// True when the file exists and nobody may write it.
bool IsReadOnly(const QString& path);

// Replaces `target` by a copy of `source`. The copy is written beside the target and takes
// its place only once complete, so a failure leaves the target as it was; false then, with the
// reason in `error`.
bool ReplaceWithCopy(const QString& source, const QString& target, QString& error);

// Deletes the file when there is one; failures are ignored.
void Remove(const QString& path);

} // namespace documentfiles
