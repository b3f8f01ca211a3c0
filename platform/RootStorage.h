#pragma once

#include "platform/StorageMode.h"
#include "platform/StorageStream.h"

#include <QStringList>
#include <memory>

namespace platform {

// The root storage of a compound file: its streams by name (compared without regard
// to case, as the file format does) and the Commit that saves them to the file.
// Failures raise kelvane::RuntimeError.
class RootStorage {
public:
    virtual ~RootStorage() = default;

    virtual QString FileName() const = 0;

    // The stream of that name; FileNotFound (53) when there is none. A writing mode
    // needs a root storage opened for writing, else BadFileMode (54).
    virtual std::shared_ptr<StorageStream> OpenStream(const QString& name, StorageMode mode) = 0;
    // A number stands for its decimal text.
    std::shared_ptr<StorageStream> OpenStream(qint64 number, StorageMode mode)
    {
        return OpenStream(QString::number(number), mode);
    }

    // A new, empty stream under that name (one of the same name is replaced). A name has
    // 1 to 31 characters, none of them / \ : or ! (else InvalidProcedureCall, 5).
    virtual std::shared_ptr<StorageStream> CreateStream(const QString& name, StorageMode mode) = 0;

    // Names of the streams at the root: in the file's directory order, then the new ones.
    virtual QStringList StreamNames() const = 0;

    // Saves every flushed stream to the file. The new file is written beside the old
    // one and renamed over it, so a failed Commit leaves the previous file as it was.
    virtual void Commit() = 0;
};

} // namespace platform
