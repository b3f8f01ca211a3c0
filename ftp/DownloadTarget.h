#pragma once

#include <QByteArrayView>
#include <QFileDevice>
#include <QString>
#include <memory>

namespace kelvane::ftp {

// Where a download's bytes go. A new download is written into a file beside the target,
// which replaces the target only once the transfer succeeded, so a failure never costs the
// file that was there. A restart continues the existing target in place at its position.
class DownloadTarget {
public:
    DownloadTarget();
    ~DownloadTarget();

    // 0, or the code of the Error event: 4 when the file cannot be made or the file to
    // continue does not exist, 8 when it cannot be positioned at `start`.
    int open(const QString& path, qint64 start);
    bool isOpen() const { return m_file != nullptr; }
    bool write(QByteArrayView bytes);
    // Keeps what was written (the new file takes the target's place). False when it could not
    // be written out or put in place; nothing is kept then.
    bool commit();
    // Drops what a new download wrote; a restart keeps what it appended.
    void discard();

private:
    std::unique_ptr<QFileDevice> m_file;
    bool m_replaces = false;
};

} // namespace kelvane::ftp
