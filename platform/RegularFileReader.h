#pragma once

#include "platform/FileDescriptor.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace platform {

// The most a file named by a user, a setting or a document is read for: well above any real
// knowledge base, far below what a device that never ends (or a file made to exhaust memory)
// would take.
inline constexpr qint64 kMaxFileBytes = qint64(1) << 30;

// Why a reader would refuse the file `path` before reading a byte of it: the text of the error
// it would raise for a folder, a device, a pipe, a socket or a file of more than kMaxFileBytes.
// Nothing for a regular file within that size, and for a name that names nothing. For a reader
// that opens the file by other means, to look before it does.
std::optional<QString> refusalOf(const QString& path);

// A regular file opened for reading in pieces. A device, a pipe or a socket is refused without
// waiting on it or opening it. Raises FileNotFound (53) for a missing file and PathFileAccess
// (75) for one that cannot be read, that is no regular file or that holds more than
// kMaxFileBytes, each naming the file.
class RegularFileReader {
public:
    // `path` in stored data's form; opened in the host's form.
    explicit RegularFileReader(QString path);
    RegularFileReader(const RegularFileReader&) = delete;
    RegularFileReader& operator=(const RegularFileReader&) = delete;

    // The size the file had when it was opened.
    qint64 size() const { return m_size; }
    // Reads up to `capacity` bytes into `buffer`: how many it read, 0 at the end of the file.
    qint64 read(char* buffer, qint64 capacity);
    // Reads the rest of the file.
    QByteArray readRest();
    // Goes back to the start of the file, to read it again as it was opened.
    void rewind();

private:
    QString m_path;
    FileDescriptor m_file; // closed with the reader, also when its constructor raises
    qint64 m_size = 0;
    qint64 m_read = 0;
};

} // namespace platform
