#pragma once

#include "platform/StorageMode.h"

#include <QString>

namespace platform {
class RootStorage;
}

// The document-level streams of a knowledge base kept in a compound file: the two pictures
// ("Picture", "Background": the picture's bytes, one character each, then the end mark), the
// root network's GUID ("GUID"), the number of networks ("Networks") and the GUID of each
// ("GUID" followed by its position). Streams are never truncated, so readers cut the text at
// the end mark or at the first NUL character.
namespace documentstreams {

inline const QString kEndOfFile = QStringLiteral("<<END OF FILE>>");

// The stream's whole text; raises when there is no such stream.
QString read(platform::RootStorage& storage, const QString& name);

// Overwrites the stream from its start: first with as many NUL characters as it holds, then
// with the content, each flushed. A missing stream raises, or is created when asked.
void write(platform::RootStorage& storage, const QString& name, platform::StorageMode mode, const QString& content,
           bool createWhenMissing = false);

// A picture stream's bytes: the text before the end mark; empty without one.
QString pictureBytes(const QString& streamText);

// A GUID stream's text: behind a binary header (when it starts below "0") or up to the first NUL.
QString guidText(const QString& streamText);

} // namespace documentstreams
