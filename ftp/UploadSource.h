#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>

namespace kelvane::ftp {

// The local file of an upload, read block by block from a start position. A block the socket
// took only in part is offered again from where it stopped. The file is read up to its end as
// it is at each read, so a file that grows during the upload is sent up to its new end.
// Positions count in 64 bits: files past 4 GiB are sent whole.
class UploadSource {
public:
    static constexpr qsizetype BlockSize = 64 * 1024;

    // 0, or the code of the Error event: 3 when the file cannot be opened, 8 when it cannot be
    // positioned at `start`.
    int open(const QString& path, qint64 start);
    bool isOpen() const { return m_file.isOpen(); }
    void close();

    // The bytes of the file sent so far, counted from its start.
    qint64 position() const { return m_position; }
    // The bytes still to send of the current block, the next block once that one is used up;
    // empty at the end of the file. False when the file could not be read.
    bool pending(QByteArrayView& bytes);
    // The socket took `count` bytes of those.
    void advance(qint64 count);

private:
    QFile m_file;
    QByteArray m_block;
    qsizetype m_offset = 0;
    qint64 m_position = 0;
};

} // namespace kelvane::ftp
