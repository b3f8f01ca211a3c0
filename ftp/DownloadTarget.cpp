#include "ftp/DownloadTarget.h"

#include "ftp/FtpCodes.h"
#include "platform/CheckedSaveFile.h"
#include "platform/SystemInfo.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <vector>

namespace kelvane::ftp {

using platform::FileDescriptor;

namespace {

// A new file's permissions, less the umask, as any program gives them.
constexpr mode_t kNewFileMode = 0666;
constexpr int kWriteOpen = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
constexpr size_t kCopyBlock = 1 << 20;

QByteArray folderOf(const QString& path) { return QFile::encodeName(QFileInfo(path).absolutePath()); }

bool isFifo(const QByteArray& path)
{
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// A file without a name in `folder` for a download's bytes. `linkable` tells that it can be
// given a name later; a file system without such files gets a named one, unlinked at once.
FileDescriptor openSpool(const QByteArray& folder, bool& linkable)
{
    FileDescriptor spool(::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, kNewFileMode));
    linkable = bool(spool);
    if (spool || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return spool;
    QByteArray name = folder + "/.download-XXXXXX";
    spool.reset(::mkostemp(name.data(), O_CLOEXEC));
    if (spool)
        ::unlink(name.constData());
    return spool;
}

// A FIFO whose reader went raises SIGPIPE at the next write, which would end the program: the
// signal is held back while this lives and dropped, and the write fails with EPIPE instead.
class BrokenPipeGuard {
public:
    BrokenPipeGuard()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~BrokenPipeGuard() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    BrokenPipeGuard(const BrokenPipeGuard&) = delete;
    BrokenPipeGuard& operator=(const BrokenPipeGuard&) = delete;

    // The write failed with EPIPE: its signal is taken away before it is let through.
    void dropSignal()
    {
        const timespec none {};
        if (!m_wasPending)
            sigtimedwait(&m_pipe, nullptr, &none);
    }

private:
    sigset_t m_pipe;
    sigset_t m_previous;
    bool m_wasPending = false;
};

bool writeAll(int file, QByteArrayView bytes)
{
    qint64 written = 0;
    return platform::writeAll(file, bytes, written);
}

bool writeAllGuarded(int file, QByteArrayView bytes)
{
    BrokenPipeGuard guard;
    const bool written = writeAll(file, bytes);
    if (!written && errno == EPIPE)
        guard.dropSignal();
    return written;
}

// Copies the whole spool into `file` from its start, in place, and cuts the file to that size.
bool copyInPlace(int spool, int file)
{
    struct stat info {};
    if (::fstat(spool, &info) != 0)
        return false;
    const off_t size = info.st_size;
    if (size > 0 && ::fallocate(file, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
        return false;
    off_t done = 0;
    bool inKernel = true;
    std::vector<char> block;
    while (done < size) {
        if (inKernel) {
            off_t from = done;
            off_t to = done;
            const ssize_t copied = ::copy_file_range(spool, &from, file, &to, size_t(size - done), 0);
            if (copied > 0) {
                done += copied;
                continue;
            }
            if (copied < 0 && errno == EINTR)
                continue;
            // Files the kernel cannot copy between (other file systems, older kernels) are
            // copied through a buffer.
            if (copied == 0 || (errno != EXDEV && errno != EINVAL && errno != EOPNOTSUPP && errno != ENOSYS))
                return false;
            inKernel = false;
            block.resize(kCopyBlock);
        }
        const ssize_t read = ::pread(spool, block.data(), std::min(block.size(), size_t(size - done)), done);
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0 || ::lseek(file, done, SEEK_SET) != done || !writeAll(file, QByteArrayView(block.data(), qsizetype(read))))
            return false;
        done += read;
    }
    return ::ftruncate(file, size) == 0;
}

} // namespace

int DownloadTarget::open(const QString& path, qint64 start)
{
    discard();
    const QByteArray name = QFile::encodeName(path);
    // The open waits for no reader of a FIFO; an existing file is not changed by it.
    FileDescriptor file(::open(name.constData(), kWriteOpen));
    if (!file) {
        if (errno == ENXIO && isFifo(name))
            return AwaitingReader;
        return errno == ENOENT && start == 0 ? openNew(path) : code::LocalFileNotCreated;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return code::LocalFileNotCreated;
    if (start != 0) {
        if (::lseek(file.get(), start, SEEK_SET) != start)
            return code::LocalFileSeekFailed;
        return openDirect(std::move(file));
    }
    if (!S_ISREG(info.st_mode))
        return openDirect(std::move(file));
    m_out = openSpool(folderOf(path), m_spoolLinkable);
    if (!m_out)
        m_out = openSpool(QFile::encodeName(platform::systemInfo().tempFolder()), m_spoolLinkable);
    if (!m_out)
        return code::LocalFileNotCreated;
    m_named = std::move(file);
    return 0;
}

int DownloadTarget::openNew(const QString& path)
{
    // A folder that takes no spool takes no new file either.
    m_out = openSpool(folderOf(path), m_spoolLinkable);
    if (!m_out)
        return code::LocalFileNotCreated;
    m_newPath = QFile::encodeName(path);
    return 0;
}

int DownloadTarget::openDirect(FileDescriptor file)
{
    // Writes wait for a slow reader, as any writer's do.
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return code::LocalFileNotCreated;
    m_out = std::move(file);
    m_direct = true;
    return 0;
}

bool DownloadTarget::write(QByteArrayView bytes)
{
    if (!m_out)
        return false;
    return m_direct ? writeAllGuarded(m_out.get(), bytes) : writeAll(m_out.get(), bytes);
}

bool DownloadTarget::nameSpool()
{
    if (m_spoolLinkable) {
        const QByteArray spool = "/proc/self/fd/" + QByteArray::number(m_out.get());
        if (::linkat(AT_FDCWD, spool.constData(), AT_FDCWD, m_newPath.constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
    }
    // Made meanwhile (or named through a link to nowhere), or a spool that cannot be named: the
    // file is made and written as any writer would.
    FileDescriptor file(::open(m_newPath.constData(), kWriteOpen | O_CREAT, kNewFileMode));
    struct stat info {};
    if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return copyInPlace(m_out.get(), file.get()) && file.reset();
}

bool DownloadTarget::commit()
{
    if (!m_out)
        return false;
    bool written = true;
    if (m_named)
        written = copyInPlace(m_out.get(), m_named.get()) && m_named.reset();
    else if (!m_newPath.isEmpty())
        written = nameSpool();
    // A file system may report a write it held back only when the file closes.
    written = m_out.reset() && written;
    discard();
    return written;
}

void DownloadTarget::discard()
{
    m_out.reset();
    m_named.reset();
    m_newPath.clear();
    m_spoolLinkable = false;
    m_direct = false;
}

} // namespace kelvane::ftp
