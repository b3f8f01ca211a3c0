#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSaveFile>
#include <QString>
#include <optional>

namespace platform {

// Writes every byte to the open file `descriptor`, in as many calls as the system takes them,
// with `written` counting the bytes it took. False when it took no more: errno then tells why
// (0 when the system took none without giving a reason).
bool writeAll(int descriptor, QByteArrayView bytes, qint64& written);

// writeAll: nothing when all were written; otherwise the system's reason ("No space left on
// device").
std::optional<QString> writeWhole(int descriptor, QByteArrayView bytes, qint64& written);

// A file replaced whole or not at all. The bytes go to a temporary file beside the target,
// which takes the target's place on commit() only when every byte reached the disk. A bare
// QSaveFile misses a write that Qt's buffer cut short at the final flush (a full disk, a
// file-size limit) and commits a cut-off file; this one hands every write to the system at
// once, checks each, and syncs the file before it commits. A failure says what the system
// gave as its reason. Destroying a file that was not committed discards what was written.
class CheckedSaveFile {
public:
    explicit CheckedSaveFile(const QString& fileName) : m_file(fileName) {}
    CheckedSaveFile(const CheckedSaveFile&) = delete;
    CheckedSaveFile& operator=(const CheckedSaveFile&) = delete;

    // Starts the temporary file; false (with errorString()) when it cannot be made.
    bool open();

    // Appends the bytes. A short or failed write is remembered: later writes are skipped
    // and commit() refuses.
    void write(const QByteArray& bytes);

    // The temporary file's descriptor, for a writer that writes it through a stream of its own
    // and raises when a write fails (the file is then destroyed without commit()).
    int handle() const { return m_file.handle(); }

    // True when everything was written and the target was replaced. False leaves the target
    // as it was, byte for byte, and sets errorString().
    bool commit();

    QString fileName() const { return m_file.fileName(); }
    QString errorString() const { return m_error; }

private:
    void fail(const QString& what, const QString& reason = {});

    QSaveFile m_file;
    QString m_error;
    bool m_failed = false;
};

} // namespace platform
