#pragma once

#include "platform/RootStorage.h"
#include "platform/StorageEntry.h"

#include <functional>
#include <memory>

namespace platform {

// A root storage whose whole content is held in memory. Streams read their text when
// opened and hand it back on Flush; Commit passes the content to the writer the storage
// was made with (which saves the file, or keeps it in a test double).
//
// Stream text is stored as UTF-8 bytes and read as UTF-8 when the bytes are valid UTF-8,
// else as Windows-1252 (files written elsewhere). A stream that is only read keeps its
// bytes as they were.
class BufferedRootStorage : public RootStorage {
public:
    using Writer = std::function<void(const StorageEntry& root)>;

    BufferedRootStorage(QString fileName, StorageMode mode, StorageEntry content, Writer writer);

    using RootStorage::OpenStream;
    QString FileName() const override { return m_fileName; }
    std::shared_ptr<StorageStream> OpenStream(const QString& name, StorageMode mode) override;
    std::shared_ptr<StorageStream> CreateStream(const QString& name, StorageMode mode) override;
    QStringList StreamNames() const override;
    void Commit() override;

private:
    void requireWritable(const QString& action) const;

    QString m_fileName;
    StorageMode m_mode;
    std::shared_ptr<StorageEntry> m_content; // shared with the open streams
    Writer m_writer;
};

} // namespace platform
