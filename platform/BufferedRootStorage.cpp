#include "platform/BufferedRootStorage.h"

#include "platform/RuntimeError.h"
#include "platform/TextEncoding.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

using kelvane::raiseError;
namespace err = kelvane::err;

namespace platform {

namespace {

// Streams keep a 32-bit length, as the callers' size counts do.
constexpr qint64 kMaxLength = std::numeric_limits<qint32>::max();

// A stream's working text. Writes change the working text only; Flush stores it back
// into the shared content under the stream's name.
class BufferedStream : public StorageStream {
public:
    BufferedStream(std::shared_ptr<StorageEntry> content, const StorageEntry& entry, StorageMode mode)
        : m_content(std::move(content))
        , m_name(entry.name)
        , m_text(encoding::decodeStored(entry.bytes))
        , m_mode(mode)
    {
    }

    QString Name() const override { return m_name; }

    qint64 GetSize() override { return m_text.size(); }

    void Get(qint64 offset, QString& buffer) override
    {
        checkOffset(offset);
        if (offset >= m_text.size())
            return;
        const qsizetype count = std::min<qsizetype>(buffer.size(), m_text.size() - offset);
        std::copy_n(m_text.constData() + offset, count, buffer.data());
    }

    QString GetString() override
    {
        constexpr qint64 kCountSize = 4;
        const QByteArray count = m_text.size() >= kCountSize ? encoding::toAnsi(m_text.left(kCountSize)) : QByteArray();
        if (count.size() != kCountSize)
            raiseError(err::InvalidFileFormat, QStringLiteral("The stream \"%1\" holds no stored string").arg(m_name));
        const quint32 length = qFromLittleEndian<quint32>(count.constData());
        if (length > m_text.size() - kCountSize)
            raiseError(err::InvalidFileFormat,
                       QStringLiteral("The stream \"%1\" is shorter than the string it stores").arg(m_name));
        return m_text.mid(kCountSize, length);
    }

    void Put(qint64 offset, const QString& text) override
    {
        checkOffset(offset);
        if (!allowsWriting(m_mode))
            raiseError(err::BadFileMode, QStringLiteral("The stream \"%1\" is open for reading only").arg(m_name));
        if (offset > kMaxLength - text.size())
            raiseError(err::InvalidProcedureCall,
                       QStringLiteral("The stream \"%1\" cannot grow beyond %2 characters").arg(m_name).arg(kMaxLength));
        const qint64 end = offset + text.size();
        if (end > m_text.size())
            m_text.resize(end, QChar(u'\0'));
        std::copy_n(text.constData(), text.size(), m_text.data() + offset);
        m_unflushed = true;
    }

    void Flush() override
    {
        if (!m_unflushed)
            return;
        StorageEntry* entry = m_content->findChild(m_name);
        if (!entry || entry->isStorage)
            raiseError(err::FileNotFound, QStringLiteral("The stream \"%1\" no longer exists").arg(m_name));
        entry->bytes = m_text.toUtf8();
        m_unflushed = false;
    }

private:
    static void checkOffset(qint64 offset)
    {
        if (offset < 0)
            raiseError(err::InvalidProcedureCall, QStringLiteral("A stream offset cannot be negative"));
    }

    std::shared_ptr<StorageEntry> m_content;
    QString m_name;
    QString m_text;
    StorageMode m_mode;
    bool m_unflushed = false;
};

} // namespace

BufferedRootStorage::BufferedRootStorage(QString fileName, StorageMode mode, StorageEntry content, Writer writer)
    : m_fileName(std::move(fileName))
    , m_mode(mode)
    , m_content(std::make_shared<StorageEntry>(std::move(content)))
    , m_writer(std::move(writer))
{
}

std::shared_ptr<StorageStream> BufferedRootStorage::OpenStream(const QString& name, StorageMode mode)
{
    if (allowsWriting(mode))
        requireWritable(QStringLiteral("write the stream \"%1\"").arg(name));
    const StorageEntry* entry = m_content->findChild(name);
    if (!entry || entry->isStorage)
        raiseError(err::FileNotFound, QStringLiteral("There is no stream \"%1\" in %2").arg(name, m_fileName));
    return std::make_shared<BufferedStream>(m_content, *entry, mode);
}

std::shared_ptr<StorageStream> BufferedRootStorage::CreateStream(const QString& name, StorageMode mode)
{
    requireWritable(QStringLiteral("create the stream \"%1\"").arg(name));
    if (!StorageEntry::isValidName(name))
        raiseError(err::InvalidProcedureCall,
                   QStringLiteral("\"%1\" cannot name a stream: a name has 1 to 31 characters, none of / \\ : !")
                       .arg(name));
    StorageEntry* entry = m_content->findChild(name);
    if (entry && entry->isStorage)
        raiseError(err::PathFileAccess, QStringLiteral("\"%1\" is a storage, not a stream").arg(name));
    if (!entry) {
        m_content->children.push_back(StorageEntry {});
        entry = &m_content->children.back();
        entry->name = name;
    }
    entry->bytes.clear();
    return std::make_shared<BufferedStream>(m_content, *entry, mode);
}

QStringList BufferedRootStorage::StreamNames() const
{
    QStringList names;
    for (const StorageEntry& child : m_content->children) {
        if (!child.isStorage)
            names.append(child.name);
    }
    return names;
}

void BufferedRootStorage::Commit()
{
    requireWritable(QStringLiteral("save it"));
    m_writer(*m_content);
}

void BufferedRootStorage::requireWritable(const QString& action) const
{
    if (!allowsWriting(m_mode))
        raiseError(err::BadFileMode,
                   QStringLiteral("%1 is open for reading only: cannot %2").arg(m_fileName, action));
}

} // namespace platform
