#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

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
    QByteArray classId;                 // a storage's 16-byte class identifier, or empty
    std::vector<StorageEntry> children; // a storage's entries

    static StorageEntry emptyRoot();

    // A stream's content as bytes: `bytes`, or the UTF-8 form of the text written.
    QByteArray streamBytes() const { return written ? written->toUtf8() : bytes; }

    // The entry of that name among the children (compared without regard to case, as
    // the file format does), or null.
    StorageEntry* findChild(const QString& childName);
    const StorageEntry* findChild(const QString& childName) const;

    // True when `candidate` may name an entry: 1 to 31 characters, none of / \ : !
    static bool isValidName(const QString& candidate);
};

} // namespace platform
