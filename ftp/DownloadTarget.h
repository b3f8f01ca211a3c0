#pragma once

#include "platform/FileDescriptor.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kelvane::ftp {

// Where a download's bytes go: the file LocalFile names, written as any writer writes it. The
// file is opened for writing before the transfer begins, so one the user may not write, or a
// folder, is refused before anything goes out; the file opened then is the one written.
//   - An existing file keeps what it holds until the transfer succeeded: the bytes go into a
//     spool file without a name (in the file's folder, else in the temporary folder), copied
//     into the file in place only then, so it stays the same file with its mode, owner and
//     links. The room for the copy is taken first: a disk too full for it fails the copy
//     before the file changes.
//   - A new file is the spool file itself, which gets its name once the transfer succeeded.
//   - A FIFO or a device is written to directly as the bytes come.
//   - A restart continues the existing file in place at its position.
// The spool has no name: a failed download, or a program killed during one, leaves nothing.
class DownloadTarget {
public:
    // What open() answers for a FIFO nobody reads yet: try again later.
    static constexpr int AwaitingReader = -1;

    DownloadTarget() = default;
    ~DownloadTarget() { discard(); }
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;

    // 0, AwaitingReader, or the code of the Error event: 4 when the file cannot be written (or
    // made, or, for a restart, does not exist), 8 when it cannot be positioned at `start`.
    int open(const QString& path, qint64 start);
    bool write(QByteArrayView bytes);
    // The transfer succeeded: the file gets the bytes. False when they could not be written
    // there.
    bool commit();
    // The transfer failed: the file keeps what it held (a FIFO, a device or a restarted file
    // keeps what it was given).
    void discard();

private:
    int openNew(const QString& path);
    int openDirect(platform::FileDescriptor file);
    bool nameSpool();

    platform::FileDescriptor m_out;   // where the bytes go: the spool, or the file itself
    platform::FileDescriptor m_named; // the existing file the spool is copied into
    QByteArray m_newPath;             // the name a new file's spool gets
    bool m_spoolLinkable = false;
    bool m_direct = false;
};

} // namespace kelvane::ftp
