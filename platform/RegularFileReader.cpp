#include "platform/RegularFileReader.h"

#include "platform/HostPath.h"
#include "platform/RuntimeError.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString refusalText(const QString& path, const QString& reason)
{
    return QStringLiteral("%1 cannot be read: %2").arg(path, reason);
}

[[noreturn]] void refuse(const QString& path, const QString& reason)
{
    kelvane::raiseError(kelvane::err::PathFileAccess, refusalText(path, reason));
}

[[noreturn]] void refuseForErrno(const QString& path, int error)
{
    refuse(path, QString::fromLocal8Bit(std::strerror(error)));
}

QString tooLarge() { return QStringLiteral("it is larger than %1 GB.").arg(kMaxFileBytes >> 30); }

[[noreturn]] void refuseAsTooLarge(const QString& path)
{
    refuse(path, tooLarge());
}

// Why a file of that kind and size is not read; nothing for a regular file within the cap.
std::optional<QString> reasonToRefuse(const struct stat& status)
{
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("it is a folder.");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("it is not a regular file.");
    if (status.st_size > kMaxFileBytes)
        return tooLarge();
    return std::nullopt;
}

void requireRegular(const QString& path, const struct stat& status)
{
    if (const auto reason = reasonToRefuse(status))
        refuse(path, *reason);
}

} // namespace

std::optional<QString> refusalOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(hostPath(path)).constData(), &status) != 0)
        return std::nullopt;
    const auto reason = reasonToRefuse(status);
    return reason ? std::optional(refusalText(path, *reason)) : std::nullopt;
}

RegularFileReader::RegularFileReader(QString path)
    : m_path(std::move(path))
{
    const QByteArray host = QFile::encodeName(hostPath(m_path));
    // The type is known before the file is opened, so no device is opened at all (opening
    // some has effects of its own); the open itself does not wait for a pipe's writer, and
    // the type is checked again on what was opened, in case the name changed hands meanwhile.
    struct stat status {};
    if (::stat(host.constData(), &status) != 0)
        kelvane::raiseError(kelvane::err::FileNotFound, QStringLiteral("%1 was not found.").arg(m_path));
    requireRegular(m_path, status);
    m_file.reset(::open(host.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!m_file)
        refuseForErrno(m_path, errno);
    if (::fstat(m_file.get(), &status) != 0)
        refuseForErrno(m_path, errno);
    requireRegular(m_path, status);
    m_size = qint64(status.st_size);
}

qint64 RegularFileReader::read(char* buffer, qint64 capacity)
{
    for (;;) {
        const ssize_t count = ::read(m_file.get(), buffer, size_t(capacity));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            refuseForErrno(m_path, errno);
        // A file may hold more than its size told (or grow while it is read): the cap holds
        // for what is read, not for what was announced.
        m_read += count;
        if (m_read > kMaxFileBytes)
            refuseAsTooLarge(m_path);
        return qint64(count);
    }
}

QByteArray RegularFileReader::readRest()
{
    // Read straight into one buffer of the size the file told, with a byte to spare so that
    // its end is seen; a file that grows meanwhile makes the buffer grow.
    QByteArray bytes(qsizetype(std::max<qint64>(m_size - m_read, 0)) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    while (const qint64 count = read(bytes.data() + filled, bytes.size() - filled)) {
        filled += qsizetype(count);
        if (filled == bytes.size())
            bytes.resize(filled + std::max<qsizetype>(filled / 2, 64 * 1024));
    }
    bytes.truncate(filled);
    return bytes;
}

void RegularFileReader::rewind()
{
    if (::lseek(m_file.get(), 0, SEEK_SET) != 0)
        refuseForErrno(m_path, errno);
    m_read = 0;
}

} // namespace platform
