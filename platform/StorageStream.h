#pragma once

#include <QString>

namespace platform {

// One named stream of a compound file, seen as text. Positions and lengths count
// characters of the text `Get` returns. Failures raise kelvane::RuntimeError.
class StorageStream {
public:
    virtual ~StorageStream() = default;

    virtual QString Name() const = 0;

    // Length of the stream's text in characters.
    virtual qint64 GetSize() = 0;

    // Fills `buffer`, from its first character, with the stream's characters from
    // `offset` on: as many as the buffer holds and the stream has. The rest of the
    // buffer is left as it was.
    virtual void Get(qint64 offset, QString& buffer) = 0;

    // The stream read as one stored string, the form older files keep their short values in:
    // a count of characters as a 32-bit little-endian number in its first four characters,
    // then the characters. InvalidFileFormat (321) when the stream holds no such string.
    virtual QString GetString() = 0;

    // Writes `text` over the characters from `offset` on, extending the stream when
    // needed (a gap before `offset` is filled with NUL characters). The stream never
    // becomes shorter: what lay beyond the written text stays.
    virtual void Put(qint64 offset, const QString& text) = 0;

    // Writes `count` NUL characters from `offset` on, as Put of a text of them does, without
    // that text having to be made first (a stream is cleared so before it is written again).
    virtual void PutNuls(qint64 offset, qint64 count) { Put(offset, QString(count, QChar(u'\0'))); }

    // Makes what was written part of the storage, so the next Commit saves it.
    // Writes that were never flushed are not saved.
    virtual void Flush() = 0;
};

} // namespace platform
