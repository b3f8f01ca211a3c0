#pragma once

#include "platform/StorageEntry.h"
#include "platform/StructuredStorage.h"

#include <QSet>
#include <QStringList>
#include <map>
#include <memory>

namespace platform::doubles {

// Structured storage for tests: "files" live in memory under their names and Commit
// stores the content there. Every operation is recorded, and any can be made to fail.
//
// Calls are recorded as "<operation> <target>[ <detail>]": "OpenStorage a.kb 18",
// "OpenStream 1 17", "CreateStream 1 17", "GetSize 1", "Get 1 0", "GetString 1",
// "Put 1 0 <length>", "Flush 1", "Commit a.kb".
class MemoryStructuredStorage : public StructuredStorage {
public:
    MemoryStructuredStorage();

    std::shared_ptr<RootStorage> OpenStorage(const QString& fileName, StorageMode mode) override;

    // Committed content by file name; tests may also put files here before opening them.
    std::map<QString, StorageEntry>& files();
    // The text of a committed stream as Get returns it (empty when there is none).
    QString streamText(const QString& fileName, const QString& streamName) const;

    QStringList& calls();
    // From now on the operation of that name ("OpenStorage", "OpenStream", "CreateStream",
    // "GetSize", "Get", "GetString", "Put", "Flush", "Commit") raises PathFileAccess (75): on
    // every target, or only on the one named (a file or a stream).
    void failOn(const QString& operation, const QString& target = {});

    struct State; // shared with the storages and streams handed out

private:
    std::shared_ptr<State> m_state;
};

} // namespace platform::doubles
