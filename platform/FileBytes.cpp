#include "platform/FileBytes.h"

#include "platform/RuntimeError.h"

namespace platform {

QByteArray readFileBytes(const QString& path)
{
    return RegularFileReader(path).readRest();
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
