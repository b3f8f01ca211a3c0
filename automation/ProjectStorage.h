#pragma once

#include "automation/MacroProject.h"
#include "platform/StorageEntry.h"

#include <QList>
#include <QString>
#include <vector>

// How a macro project is kept: a storage of its own, "Macros", inside a compound file (the
// knowledge-base document itself, or the ".vba" file beside an XML document). The storage holds
// a stream "Project" (UTF-8 lines: "Name=" the project's name, then "Module=" each module's name
// in order) and a storage "Modules" with one UTF-8 stream per module.
//
// Whatever else the file holds that is not the document's own (another host's macro project,
// streams of other tools) is carried: read with the project and written back unchanged.
namespace kelvane::projectstorage {

inline const QString kStorageName = QStringLiteral("Macros");

struct StoredProject {
    bool found = false; // the file holds a project of ours
    QString name;
    QList<MacroModule> modules;
    std::vector<platform::StorageEntry> carried;
};

// The project in a compound file's entries. `document`: the entries are those of a knowledge-base
// document, whose own streams (pictures, GUIDs, networks) are neither project nor carried.
StoredProject read(const platform::StorageEntry& root, bool document);

// `root` with the project's storage in place of the one it held, and the carried entries it
// does not hold yet.
void write(platform::StorageEntry& root, const MacroProject& project);

// The same on files. Reading raises what the compound file raises (FileNotFound, PathFileAccess,
// InvalidFileFormat). Writing keeps what an existing file holds besides the project, replaces the
// file only once everything was written, and raises PathFileAccess when it cannot be.
StoredProject readFile(const QString& fileName, bool document);
void writeFile(const QString& fileName, const MacroProject& project);

} // namespace kelvane::projectstorage
