#include "platform/FileBytes.h"

#include "platform/HostPath.h"
#include "platform/RuntimeError.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

[[noreturn]] void refuse(const QString& path, const QString& reason)
{
    kelvane::raiseError(kelvane::err::PathFileAccess, QStringLiteral("%1 cannot be read: %2").arg(path, reason));
}

[[noreturn]] void refuseForErrno(const QString& path, int error)
{
    refuse(path, QString::fromLocal8Bit(std::strerror(error)));
}

[[noreturn]] void refuseAsTooLarge(const QString& path)
{
    refuse(path, QStringLiteral("it is larger than %1 GB.").arg(kMaxFileBytes >> 30));
}

void requireRegular(const QString& path, const struct stat& status)
{
    if (S_ISDIR(status.st_mode))
        refuse(path, QStringLiteral("it is a folder."));
    if (!S_ISREG(status.st_mode))
        refuse(path, QStringLiteral("it is not a regular file."));
    if (status.st_size > kMaxFileBytes)
        refuseAsTooLarge(path);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : m_descriptor(descriptor) {}
    ~FileDescriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

} // namespace

void readFileSlices(const QString& path, const std::function<void(QByteArrayView)>& take,
                    const std::function<void(qint64)>& announce)
{
    const QByteArray host = QFile::encodeName(hostPath(path));
    // The type is known before the file is opened, so no device is opened at all (opening
    // some has effects of its own); the open itself does not wait for a pipe's writer, and
    // the type is checked again on what was opened, in case the name changed hands meanwhile.
    struct stat status {};
    if (::stat(host.constData(), &status) != 0)
        kelvane::raiseError(kelvane::err::FileNotFound, QStringLiteral("%1 was not found.").arg(path));
    requireRegular(path, status);
    const FileDescriptor file(::open(host.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        refuseForErrno(path, errno);
    if (::fstat(file.get(), &status) != 0)
        refuseForErrno(path, errno);
    requireRegular(path, status);

    if (announce)
        announce(qint64(status.st_size));

    // A file may hold more than its size tells (or grow while it is read): the cap holds
    // for what is read, not for what was announced.
    qint64 total = 0;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            refuseForErrno(path, errno);
        }
        if (count == 0)
            return;
        total += count;
        if (total > kMaxFileBytes)
            refuseAsTooLarge(path);
        take(QByteArrayView(chunk, qsizetype(count)));
    }
}

QByteArray readFileBytes(const QString& path)
{
    QByteArray bytes;
    readFileSlices(
        path, [&bytes](QByteArrayView slice) { bytes.append(slice); },
        [&bytes](qint64 size) { bytes.reserve(qsizetype(size) + 1); });
    return bytes;
}

} // namespace platform
