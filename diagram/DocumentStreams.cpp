#include "diagram/DocumentStreams.h"

#include "model/basGlobal.h"
#include "platform/RootStorage.h"
#include "platform/RuntimeError.h"

namespace documentstreams {

QString read(platform::RootStorage& storage, const QString& name)
{
    const auto stream = storage.OpenStream(name, platform::StorageMode::Read);
    QString text(stream->GetSize(), QChar(u'\0'));
    stream->Get(0, text);
    return text;
}

void write(platform::RootStorage& storage, const QString& name, platform::StorageMode mode, const QString& content,
           bool createWhenMissing)
{
    std::shared_ptr<platform::StorageStream> stream;
    try {
        stream = storage.OpenStream(name, mode);
    } catch (const kelvane::RuntimeError& error) {
        if (!createWhenMissing || error.Number() != kelvane::err::FileNotFound)
            throw;
        stream = storage.CreateStream(name, mode);
    }
    stream->PutNuls(0, stream->GetSize());
    stream->Flush();
    stream->Put(0, content);
    stream->Flush();
}

QString pictureBytes(const QString& streamText)
{
    const qsizetype end = streamText.indexOf(kEndOfFile);
    return end < 0 ? QString() : streamText.left(end);
}

QString guidText(const QString& streamText)
{
    if (!streamText.isEmpty() && streamText.front() < u'0')
        return basGlobal::StripStreamHeader(streamText);
    return basGlobal::TrimAtNull(streamText);
}

} // namespace documentstreams
