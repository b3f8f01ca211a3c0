// Opens the input as a compound file and reads every stream, as the program does with a
// knowledge base: any outcome but a clean result or the error type is a fault.
#include "platform/BufferedRootStorage.h"
#include "platform/CompoundFile.h"
#include "platform/RuntimeError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using platform::StorageMode;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        platform::BufferedRootStorage root(QStringLiteral("fuzz.qkb"), StorageMode::Read,
                                           platform::compoundfile::read(bytes), {});
        for (const QString& name : root.StreamNames()) {
            const auto stream = root.OpenStream(name, StorageMode::Read);
            QString text(stream->GetSize(), QChar(u'\0'));
            stream->Get(0, text);
        }
    } catch (const kelvane::RuntimeError&) {
    }
    return 0;
}
