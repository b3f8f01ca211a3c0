#pragma once

#include "platform/StorageChildren.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// One entry of a compound file held in memory: a stream with its bytes, or a storage
// with its entries in file order. The root storage is a storage without a name.
struct StorageEntry {
    QString name;
    bool isStorage = false;
    QByteArray bytes;                   // a stream's content
    // A stream written as text keeps that text until the file is written, which encodes it
    // slice by slice: a large stream is held once, not a second time as bytes. `bytes` is then
    // empty; streamBytes() gives the content whichever form holds it.
    std::optional<QString> written;
    // A stream cleared to NUL characters and not written since keeps only their count (`bytes`
    // empty, nothing `written`), so a large stream cleared before it is written again is not
    // held a second time as a run of NULs.
    qsizetype nuls = 0;
    QByteArray classId;                 // a storage's 16-byte class identifier, or empty
    StorageChildren children;           // a storage's entries

    static StorageEntry emptyRoot();

    // A stream's content as bytes: `bytes`, the UTF-8 form of the text written, or the NULs.
    QByteArray streamBytes() const
    {
        if (written)
            return written->toUtf8();
        return nuls > 0 ? QByteArray(nuls, '\0') : bytes;
    }

    // The entry of that name among the children (compared without regard to case, as
    // the file format does), or null.
    StorageEntry* findChild(const QString& childName);
    const StorageEntry* findChild(const QString& childName) const;

    // True when `candidate` may name an entry: 1 to 31 characters, none of / \ : !
    static bool isValidName(const QString& candidate);
};

} // namespace platform
