#include "platform/CompoundFile.h"

#include "platform/CompoundDirectory.h"
#include "platform/RuntimeError.h"
#include "platform/TextEncoding.h"

#include <QFile>
#include <QScopeGuard>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

using kelvane::raiseError;
namespace err = kelvane::err;

namespace platform::compoundfile {

namespace {

constexpr int kClassIdSize = 16;

struct GObjectRelease {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectRelease>;

// Collects what libgsf logs while this thread reads or writes a file. libgsf reads on
// through many kinds of damage, only warning; a file it warned about is not taken as
// sound, so damaged content never passes for stored text. (Part of libgsf logs without a
// domain of its own, hence the default domain too.)
class LibraryComplaints {
public:
    LibraryComplaints()
    {
        static std::once_flag once;
        std::call_once(once, [] {
            gsf_init();
            for (const char* domain : {static_cast<const char*>(nullptr), "libgsf", "libgsf:msole"})
                g_log_set_handler(domain, GLogLevelFlags(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
                                  &LibraryComplaints::handle, nullptr);
        });
        t_current = this;
    }
    ~LibraryComplaints() { t_current = nullptr; }
    LibraryComplaints(const LibraryComplaints&) = delete;
    LibraryComplaints& operator=(const LibraryComplaints&) = delete;

    bool any() const { return !m_first.isNull(); }
    const QString& first() const { return m_first; }

private:
    static void handle(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer)
    {
        if (!t_current || (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) == 0) {
            g_log_default_handler(domain, level, message, nullptr);
            return;
        }
        if (t_current->m_first.isNull())
            t_current->m_first = QString::fromUtf8(message ? message : "").simplified();
    }

    static thread_local LibraryComplaints* t_current;
    QString m_first;
};

thread_local LibraryComplaints* LibraryComplaints::t_current = nullptr;

QString takeMessage(GError*& error)
{
    QString message = error ? QString::fromUtf8(error->message) : QStringLiteral("unreadable header");
    g_clear_error(&error);
    return message;
}

FileAccess inMemory(const QByteArray& bytes)
{
    return {bytes.size(), [&bytes](qint64 offset, qint64 length) {
                const qint64 from = std::clamp<qint64>(offset, 0, bytes.size());
                return QByteArray::fromRawData(bytes.constData() + from, std::min(length, bytes.size() - from));
            }};
}

bool isStorage(GsfInput* child)
{
    return GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0;
}

// Reads the entries below `dir`. A sound file stores every byte of every stream once,
// so the streams together never hold more than the file: `budget` is what is left of
// it, which keeps a hostile directory from making us read the same sectors endlessly.
class TreeReader {
public:
    explicit TreeReader(qint64 fileSize) : m_budget(fileSize) {}

    // The directory was checked before libgsf read it: storages nest no deeper than it allows.
    void readChildren(GsfInfile* dir, StorageEntry& into)
    {
        const int count = gsf_infile_num_children(dir);
        for (int i = 0; i < count; ++i) {
            GObjectPtr<GsfInput> child(gsf_infile_child_by_index(dir, i));
            if (!child)
                raiseDamaged(QStringLiteral("an entry of the directory cannot be read"));
            const char* rawName = gsf_input_name(child.get());
            StorageEntry entry;
            entry.name = QString::fromUtf8(rawName ? rawName : "");
            if (into.findChild(entry.name))
                raiseDamaged(QStringLiteral("the name \"%1\" appears twice").arg(entry.name));
            if (isStorage(child.get())) {
                entry.isStorage = true;
                entry.classId = classIdOf(GSF_INFILE(child.get()));
                readChildren(GSF_INFILE(child.get()), entry);
            } else {
                entry.bytes = readStream(child.get(), entry.name);
            }
            into.children.push_back(std::move(entry));
        }
    }

    static QByteArray classIdOf(GsfInfile* dir)
    {
        guint8 id[kClassIdSize] = {};
        if (!GSF_IS_INFILE_MSOLE(dir) || !gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(dir), id))
            return {};
        const QByteArray bytes(reinterpret_cast<const char*>(id), kClassIdSize);
        return bytes.count('\0') == kClassIdSize ? QByteArray() : bytes;
    }

private:
    QByteArray readStream(GsfInput* stream, const QString& name)
    {
        const gsf_off_t size = gsf_input_size(stream);
        if (size < 0 || size > m_budget)
            raiseDamaged(QStringLiteral("the stream \"%1\" claims more bytes than the file holds").arg(name));
        m_budget -= size;
        QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
        if (size > 0 && !gsf_input_read(stream, static_cast<size_t>(size), reinterpret_cast<guint8*>(bytes.data())))
            raiseDamaged(QStringLiteral("the stream \"%1\" is cut short").arg(name));
        return bytes;
    }

    qint64 m_budget;
};

void check(gboolean ok, const char* what)
{
    if (!ok)
        raiseError(err::PathFileAccess, QStringLiteral("Cannot build the compound file: %1").arg(QLatin1String(what)));
}

void writeBytes(GsfOutput* stream, const QByteArray& bytes)
{
    if (!bytes.isEmpty())
        check(gsf_output_write(stream, static_cast<size_t>(bytes.size()), reinterpret_cast<const guint8*>(bytes.constData())),
              "a stream cannot be written");
}

// A run of NUL bytes, written a slice at a time.
void writeNuls(GsfOutput* stream, qsizetype count)
{
    constexpr qsizetype kSlice = 1024 * 1024;
    const QByteArray slice(std::min(count, kSlice), '\0');
    for (qsizetype left = count; left > 0; left -= slice.size())
        writeBytes(stream, left >= slice.size() ? slice : slice.left(left));
}

// Refuses entries that would make a file no reader takes back: more than a file holds, or
// storages nested deeper than it allows.
void checkFits(const StorageEntry& root)
{
    struct Level {
        const StorageEntry* storage;
        int nesting; // of its entries
    };
    std::size_t count = 1;
    std::vector<Level> pending {{&root, 0}};
    while (!pending.empty()) {
        const Level level = pending.back();
        pending.pop_back();
        count += level.storage->children.size();
        if (count > CompoundDirectory::kMaxEntries)
            raiseError(err::PathFileAccess,
                       QStringLiteral("Cannot build the compound file: it would hold more than %1 entries")
                           .arg(CompoundDirectory::kMaxEntries));
        if (level.nesting > CompoundDirectory::kMaxNesting && !level.storage->children.empty())
            raiseError(err::PathFileAccess, QStringLiteral("Cannot build the compound file: storages nested too deeply"));
        for (const StorageEntry& child : level.storage->children) {
            if (child.isStorage)
                pending.push_back({&child, level.nesting + 1});
        }
    }
}

void writeChildren(GsfOutfile* dir, const StorageEntry& storage)
{
    // Two entries of one name would make a file no reader accepts.
    for (const StorageEntry& entry : storage.children) {
        if (storage.findChild(entry.name) != &entry)
            raiseError(err::PathFileAccess,
                       QStringLiteral("Cannot build the compound file: the name \"%1\" appears twice").arg(entry.name));
    }
    // libgsf keeps a storage's entries in a list in the format's order, each added entry put in
    // place by looking from the list's start: taken last first, each goes first at once.
    std::vector<const StorageEntry*> lastFirst;
    lastFirst.reserve(storage.children.size());
    for (const StorageEntry& entry : storage.children)
        lastFirst.push_back(&entry);
    std::sort(lastFirst.begin(), lastFirst.end(),
              [](const StorageEntry* a, const StorageEntry* b) { return CompoundDirectory::precedes(b->name, a->name); });
    for (const StorageEntry* added : lastFirst) {
        const StorageEntry& entry = *added;
        const QByteArray name = entry.name.toUtf8();
        GObjectPtr<GsfOutput> child(gsf_outfile_new_child(dir, name.constData(), entry.isStorage));
        check(child != nullptr, "an entry cannot be added");
        if (entry.isStorage) {
            if (entry.classId.size() == kClassIdSize)
                gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(child.get()),
                                               reinterpret_cast<const guint8*>(entry.classId.constData()));
            writeChildren(GSF_OUTFILE(child.get()), entry);
        } else if (entry.written) {
            encoding::writeUtf8InSlices(*entry.written, [&](const QByteArray& slice) { writeBytes(child.get(), slice); });
        } else if (entry.nuls > 0) {
            writeNuls(child.get(), entry.nuls);
        } else {
            writeBytes(child.get(), entry.bytes);
        }
        check(gsf_output_close(child.get()), "an entry cannot be closed");
    }
}

} // namespace

StorageEntry read(QByteArray bytes)
{
    // libgsf follows the directory's links by recursion, and finds each entry's place in a list
    // by looking through the list: it reads a directory checked first, whose large storages
    // are laid out again for it (in the bytes held here, not in the file).
    const CompoundDirectory directory(inMemory(bytes));
    if (directory.largestStorage() > CompoundDirectory::kLinkedAsStored)
        directory.layOutForLibrary([&](qint64 offset, const QByteArray& part) {
            std::memcpy(bytes.data() + offset, part.constData(), std::size_t(part.size()));
        });

    const LibraryComplaints complaints;
    GObjectPtr<GsfInput> input(
        gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.constData()), bytes.size(), FALSE));
    GError* error = nullptr;
    GObjectPtr<GsfInfile> ole(gsf_infile_msole_new(input.get(), &error));
    if (!ole)
        raiseDamaged(error || !complaints.any() ? takeMessage(error) : complaints.first());
    g_clear_error(&error);

    StorageEntry root = StorageEntry::emptyRoot();
    root.classId = TreeReader::classIdOf(ole.get());
    TreeReader(bytes.size()).readChildren(ole.get(), root);
    if (complaints.any())
        raiseDamaged(complaints.first());
    return root;
}

namespace {

// Writes the compound file of `root`'s entries into `sink`. libgsf lays the entries of each
// storage out as one chain of siblings: the caller balances the trees once the file is written.
void writeInto(GsfOutput* sink, const StorageEntry& root)
{
    checkFits(root);
    const LibraryComplaints complaints;
    {
        GObjectPtr<GsfOutfile> ole(gsf_outfile_msole_new(sink));
        check(ole != nullptr, "no writer");
        if (root.classId.size() == kClassIdSize)
            gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole.get()),
                                           reinterpret_cast<const guint8*>(root.classId.constData()));
        writeChildren(ole.get(), root);
        check(gsf_output_close(GSF_OUTPUT(ole.get())), "the directory cannot be written");
    }
    if (complaints.any())
        raiseError(err::PathFileAccess, QStringLiteral("Cannot build the compound file: %1").arg(complaints.first()));
}

FileAccess onDisk(int descriptor, qint64 size)
{
    return {size, [descriptor](qint64 offset, qint64 length) {
                QByteArray bytes(length, Qt::Uninitialized);
                qint64 done = 0;
                while (done < length) {
                    const ssize_t read = ::pread(descriptor, bytes.data() + done, std::size_t(length - done), offset + done);
                    if (read < 0 && errno == EINTR)
                        continue;
                    if (read <= 0)
                        break;
                    done += read;
                }
                bytes.truncate(done);
                return bytes;
            }};
}

void writeAt(int descriptor, qint64 offset, const QByteArray& bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t written = ::pwrite(descriptor, bytes.constData() + done, std::size_t(bytes.size() - done), offset + done);
        if (written < 0 && errno == EINTR)
            continue;
        check(written > 0, "the file cannot be written");
        done += written;
    }
}

} // namespace

QByteArray write(const StorageEntry& root)
{
    GObjectPtr<GsfOutput> sink(gsf_output_memory_new());
    writeInto(sink.get(), root);
    const gsf_off_t size = gsf_output_size(sink.get());
    const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    QByteArray written(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CompoundDirectory(inMemory(written)).balance([&](qint64 offset, const QByteArray& part) {
        std::memcpy(written.data() + offset, part.constData(), std::size_t(part.size()));
    });
    return written;
}

void write(const StorageEntry& root, int descriptor)
{
    // A stream of our own on a duplicate of the descriptor: closing it leaves the caller's open.
    const int duplicate = ::dup(descriptor);
    FILE* file = duplicate < 0 ? nullptr : ::fdopen(duplicate, "wb");
    if (!file) {
        if (duplicate >= 0)
            ::close(duplicate);
        raiseError(err::PathFileAccess, QStringLiteral("Cannot build the compound file: the file cannot be written"));
    }
    GObjectPtr<GsfOutput> sink(gsf_output_stdio_new_FILE("compound file", file, FALSE));
    if (!sink) {
        std::fclose(file);
        raiseError(err::PathFileAccess, QStringLiteral("Cannot build the compound file: the file cannot be written"));
    }
    // The sink is closed (and its stream with it) whether or not the writing went through; the
    // writer closes it when it ends well.
    const auto close = [&] { return gsf_output_is_closed(sink.get()) || gsf_output_close(sink.get()); };
    auto closeSink = qScopeGuard([&] { close(); });
    writeInto(sink.get(), root);
    closeSink.dismiss();
    check(close() && !gsf_output_error(sink.get()), "the file cannot be written");
    // The last bytes reach the file as the stream closes: a failure there shows in its length.
    struct stat written {};
    check(::fstat(descriptor, &written) == 0 && written.st_size == gsf_output_size(sink.get()), "the file was cut short");
    CompoundDirectory(onDisk(descriptor, written.st_size)).balance([&](qint64 offset, const QByteArray& part) {
        writeAt(descriptor, offset, part);
    });
}

bool hasSignature(const QString& fileName)
{
    static const QByteArray signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) && file.read(signature.size()) == signature;
}

} // namespace platform::compoundfile
