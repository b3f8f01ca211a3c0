#include "platform/GsfStructuredStorage.h"

#include "platform/BufferedRootStorage.h"
#include "platform/CheckedSaveFile.h"
#include "platform/CompoundFile.h"
#include "platform/FileBytes.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using kelvane::raiseError;
using kelvane::RuntimeError;
namespace err = kelvane::err;

namespace platform {

namespace {

StorageEntry readFile(const QString& fileName, StorageMode mode)
{
    const QFileInfo info(fileName);
    if (!info.exists()) {
        if (mode == StorageMode::Read)
            raiseError(err::FileNotFound, QStringLiteral("File not found: %1").arg(fileName));
        return StorageEntry::emptyRoot();
    }
    if (info.isDir())
        raiseError(err::PathFileAccess, QStringLiteral("%1 is a folder, not a file").arg(fileName));

    QByteArray bytes = readFileBytes(fileName);
    if (bytes.isEmpty())
        return StorageEntry::emptyRoot(); // an empty file holds nothing to lose
    try {
        return compoundfile::read(std::move(bytes));
    } catch (const RuntimeError& e) {
        raiseError(e.Number(), QStringLiteral("%1: %2").arg(fileName, e.Description()));
    }
}

// Read-only in the sense of the old file attribute: not writable by us, or without any
// write permission bit (which holds even for a user who may override permissions).
bool isReadOnly(const QFileInfo& info)
{
    constexpr auto anyWriteBit = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.isWritable() || !(info.permissions() & anyWriteBit);
}

void replaceFile(const QString& fileName, const StorageEntry& root)
{
    const QFileInfo info(fileName);
    if (!info.absoluteDir().exists())
        raiseError(err::PathNotFound, QStringLiteral("Path not found: %1").arg(info.absolutePath()));
    if (info.exists() && isReadOnly(info))
        raiseError(err::PathFileAccess, QStringLiteral("%1 is read only").arg(fileName));

    // A temporary file in the same folder takes the old one's place only once every byte
    // was written; on any failure the temporary file goes and the old file stays.
    CheckedSaveFile file(fileName);
    if (file.open())
        compoundfile::write(root, file.handle());
    if (!file.commit())
        raiseError(err::PathFileAccess, file.errorString());
}

} // namespace

std::shared_ptr<RootStorage> GsfStructuredStorage::OpenStorage(const QString& fileName, StorageMode mode)
{
    return std::make_shared<BufferedRootStorage>(fileName, mode, readFile(fileName, mode),
                                                 [fileName](const StorageEntry& root) { replaceFile(fileName, root); });
}

std::unique_ptr<StructuredStorage> ServiceDefault<StructuredStorage>::create()
{
    return std::make_unique<GsfStructuredStorage>();
}

} // namespace platform
