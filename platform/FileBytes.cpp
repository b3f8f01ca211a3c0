#include "platform/FileBytes.h"

#include "platform/RuntimeError.h"

namespace platform {

QByteArray readFileBytes(const QString& path)
{
    RegularFileReader file(path);
    QByteArray bytes;
    bytes.reserve(qsizetype(file.size()) + 1);
    char chunk[64 * 1024];
    while (const qint64 count = file.read(chunk, sizeof chunk))
        bytes.append(chunk, qsizetype(count));
    return bytes;
}

std::optional<QByteArray> tryReadFileBytes(const QString& path)
{
    try {
        return readFileBytes(path);
    } catch (const kelvane::RuntimeError&) {
        return std::nullopt;
    }
}

} // namespace platform
