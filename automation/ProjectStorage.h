#pragma once

#include "automation/MacroProject.h"
#include "platform/StorageEntry.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// How a macro project is kept: a storage of its own, "Macros", inside a compound file (the
// knowledge-base document itself, or the ".vba" file beside an XML document). The storage holds
// a stream "Project" (UTF-8 lines: "Name=" the project's name, then "Module=" each module's name
// in order) and a storage "Modules" with one UTF-8 stream per module.
//
// Whatever else the file holds that is not the document's own (another host's macro project,
// streams of other tools, entries of our storage this version does not know) is carried: read
// with the project and written back unchanged. A "Macros" storage that another program wrote is
// never replaced.
namespace kelvane::projectstorage {

inline const QString kStorageName = QStringLiteral("Macros");

// What a file holds besides the project: entries beside the project's storage, entries inside
// it other than "Project" and "Modules", and storages inside "Modules".
struct CarriedEntries {
    std::vector<platform::StorageEntry> beside;
    std::vector<platform::StorageEntry> inside;
    std::vector<platform::StorageEntry> insideModules;

    // An entry named "Macros" that is not a project of ours (another program's) is among the
    // entries beside.
    bool holdsForeignStorage() const;
    // Storages beside ours: data of other programs, macros of another kind among them.
    bool holdsStorages() const;
    // Macros of another kind: a "Macros" entry that is not ours, or another macro host's
    // project (a storage "VBA", or a storage holding one).
    bool holdsForeignMacros() const;
    // The names of the storages inside "Modules", which no module may take.
    QStringList moduleStorageNames() const;
};

struct StoredProject {
    bool found = false; // the file holds a project of ours
    QString name;
    // Each name once (compared without regard to case), and none with a line break.
    QList<MacroModule> modules;
    CarriedEntries carried;
};

// The project in a compound file's entries. `document`: the entries are those of a knowledge-base
// document, whose own streams (pictures, GUIDs, networks) are neither project nor carried.
// Module names the index or the storage repeats are read once; a name holding a line break is
// read with "_" in its place.
StoredProject read(const platform::StorageEntry& root, bool document);

// `root` with `project`'s storage in place of the one it held (none when `project.found` is
// false), and the carried entries it does not hold yet. Line breaks in the project's name are
// written as blanks. Raises PathFileAccess, changing nothing, when `root` or the carried entries
// hold a "Macros" storage that is not ours and the project has modules to write; a project
// without modules then leaves that storage alone.
void write(platform::StorageEntry& root, const StoredProject& project);

// The project as it is written.
StoredProject snapshotOf(const MacroProject& project, CarriedEntries carried = {});
// What is written without a project: the entries carried, those of our storage in a project
// named `name` without modules (none when there are none).
StoredProject carriedAlone(CarriedEntries carried, const QString& name);

// The same on files. Reading raises what the compound file raises (FileNotFound, PathFileAccess,
// InvalidFileFormat). Writing keeps what an existing file holds besides the project, replaces the
// file only once everything was written, and raises PathFileAccess when it cannot be.
StoredProject readFile(const QString& fileName, bool document);
void writeFile(const QString& fileName, const StoredProject& project);
void writeFile(const QString& fileName, const MacroProject& project);
// A file that holds the project alone, in place of whatever the file held.
void replaceFile(const QString& fileName, const StoredProject& project);

} // namespace kelvane::projectstorage
