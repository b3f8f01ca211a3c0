#include "platform/CheckedSaveFile.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

QString systemReason(int error) { return QString::fromStdString(std::generic_category().message(error)); }

} // namespace

bool writeAll(int descriptor, QByteArrayView bytes, qint64& written)
{
    written = 0;
    while (written < bytes.size()) {
        const ssize_t taken = ::write(descriptor, bytes.data() + written, size_t(bytes.size() - written));
        if (taken < 0 && errno == EINTR)
            continue;
        if (taken == 0)
            errno = 0;
        if (taken <= 0)
            return false;
        written += taken;
    }
    return true;
}

std::optional<QString> writeWhole(int descriptor, QByteArrayView bytes, qint64& written)
{
    if (writeAll(descriptor, bytes, written))
        return std::nullopt;
    return errno != 0 ? systemReason(errno) : QStringLiteral("the system took none of them");
}

bool CheckedSaveFile::open()
{
    // Unbuffered: every write reaches the system at once, which tells whether it was taken.
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    fail(QStringLiteral("it cannot be created"), m_file.errorString());
    return false;
}

void CheckedSaveFile::fail(const QString& what, const QString& reason)
{
    if (m_failed)
        return;
    m_failed = true;
    m_error = QStringLiteral("%1 was not saved: %2").arg(m_file.fileName(), what);
    if (!reason.isEmpty())
        m_error += QStringLiteral(" (%1)").arg(reason);
}

void CheckedSaveFile::write(const QByteArray& bytes)
{
    if (m_failed || !m_file.isOpen())
        return;
    qint64 written = 0;
    if (const std::optional<QString> reason = writeWhole(m_file.handle(), bytes, written))
        fail(QStringLiteral("only %1 of %2 bytes could be written").arg(written).arg(bytes.size()), *reason);
}

bool CheckedSaveFile::commit()
{
    if (!m_file.isOpen()) {
        if (!m_failed)
            fail(QStringLiteral("it was never opened"));
        return false;
    }
    // Some file systems tell of a full disk only when the file goes to the disk; a file system
    // that cannot sync (EINVAL) has nothing more to tell.
    if (!m_failed && ::fsync(m_file.handle()) != 0 && errno != EINVAL)
        fail(QStringLiteral("the end of the file could not be written"), systemReason(errno));
    if (m_failed) {
        m_file.cancelWriting();
        m_file.commit(); // discards the temporary file
        return false;
    }
    if (m_file.commit())
        return true;
    fail(QStringLiteral("the file could not take the old one's place"), m_file.errorString());
    return false;
}

} // namespace platform
