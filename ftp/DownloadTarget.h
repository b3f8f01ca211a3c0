#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <memory>

namespace kelvane::ftp {

// Where a download's bytes go. A new download is written into a file beside the target, which
// takes the target's place (by a rename, which replaces it whole) only once the transfer
// succeeded, so a failure never costs the file that was there. A restart continues the
// existing target in place at its position.
//
// The new file is not forced to the disk before the rename: a download is large, the forced
// write would cost a good share of the transfer's time, and the rename alone already keeps a
// failed transfer from touching the target.
class DownloadTarget {
public:
    DownloadTarget() = default;
    ~DownloadTarget();
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;

    // 0, or the code of the Error event: 4 when the file cannot be made or the file to
    // continue does not exist, 8 when it cannot be positioned at `start`.
    int open(const QString& path, qint64 start);
    bool isOpen() const { return m_file != nullptr; }
    bool write(QByteArrayView bytes);
    // Keeps what was written: the new file takes the target's place. False when it could not
    // be written out or put in place; nothing is kept then.
    bool commit();
    // Drops what a new download wrote; a restart keeps what it appended.
    void discard();

private:
    std::unique_ptr<QFile> m_file;
    QString m_target; // set while the file is a new one beside the target
};

} // namespace kelvane::ftp
