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

// A stream's working content. Writes change the working content only; Flush stores it back
// into the shared content under the stream's name.
//
// The content is kept as cheaply as it can be: the stored bytes, decoded only once they are
// read or written in part; a text written whole over the stream, shared with the writer rather
// than copied, and handed on as it is by Flush (the file encodes it when it is written); or a
// run of NUL characters that cleared the whole stream, kept as its length.
class BufferedStream : public StorageStream {
public:
    BufferedStream(std::shared_ptr<StorageEntry> content, const StorageEntry& entry, StorageMode mode)
        : m_content(std::move(content)), m_name(entry.name), m_mode(mode)
    {
        if (entry.written) {
            m_text = *entry.written;
            m_form = Form::Text;
        } else if (entry.nuls > 0) {
            m_nuls = entry.nuls;
            m_form = Form::Nuls;
        } else {
            m_stored = entry.bytes;
            m_form = Form::Stored;
        }
    }

    QString Name() const override { return m_name; }

    qint64 GetSize() override
    {
        switch (m_form) {
        case Form::Stored: return encoding::decodedLength(m_stored);
        case Form::Nuls: return m_nuls;
        case Form::Text: break;
        }
        return m_text.size();
    }

    void Get(qint64 offset, QString& buffer) override
    {
        checkOffset(offset);
        const QString& text = this->text();
        if (offset >= text.size())
            return;
        const qsizetype count = std::min<qsizetype>(buffer.size(), text.size() - offset);
        std::copy_n(text.constData() + offset, count, buffer.data());
    }

    QString GetString() override
    {
        constexpr qint64 kCountSize = 4;
        const QString& text = this->text();
        const QByteArray count = text.size() >= kCountSize ? encoding::toAnsi(text.left(kCountSize)) : QByteArray();
        if (count.size() != kCountSize)
            raiseError(err::InvalidFileFormat, QStringLiteral("The stream \"%1\" holds no stored string").arg(m_name));
        const quint32 length = qFromLittleEndian<quint32>(count.constData());
        if (length > text.size() - kCountSize)
            raiseError(err::InvalidFileFormat,
                       QStringLiteral("The stream \"%1\" is shorter than the string it stores").arg(m_name));
        return text.mid(kCountSize, length);
    }

    void Put(qint64 offset, const QString& text) override
    {
        checkWrite(offset, text.size());
        if (offset == 0 && text.size() >= GetSize()) {
            // Written whole: the stream's content is the text itself.
            m_stored.clear();
            if (isAllNul(text)) {
                m_text.clear();
                m_nuls = text.size();
                m_form = Form::Nuls;
            } else {
                m_text = text;
                m_form = Form::Text;
            }
            return;
        }
        QString& current = this->text();
        const qint64 end = offset + text.size();
        if (end > current.size())
            current.resize(end, QChar(u'\0'));
        std::copy_n(text.constData(), text.size(), current.data() + offset);
    }

    void PutNuls(qint64 offset, qint64 count) override
    {
        if (offset != 0 || count < GetSize()) {
            Put(offset, QString(count, QChar(u'\0')));
            return;
        }
        checkWrite(offset, count);
        // Written whole: the stream is that many NULs.
        m_stored.clear();
        m_text.clear();
        m_nuls = count;
        m_form = Form::Nuls;
    }

    void Flush() override
    {
        if (!m_unflushed)
            return;
        StorageEntry* entry = m_content->findChild(m_name);
        if (!entry || entry->isStorage)
            raiseError(err::FileNotFound, QStringLiteral("The stream \"%1\" no longer exists").arg(m_name));
        entry->bytes.clear();
        if (m_form == Form::Nuls) {
            entry->written.reset();
            entry->nuls = m_nuls; // a NUL is one byte in UTF-8
        } else {
            entry->nuls = 0;
            entry->written = text();
        }
        m_unflushed = false;
    }

private:
    enum class Form { Stored, Text, Nuls };

    // Refuses a write of `length` characters at `offset` the stream cannot take; else the
    // stream is changed from here on.
    void checkWrite(qint64 offset, qint64 length)
    {
        checkOffset(offset);
        if (!allowsWriting(m_mode))
            raiseError(err::BadFileMode, QStringLiteral("The stream \"%1\" is open for reading only").arg(m_name));
        if (offset > kMaxLength - length)
            raiseError(err::InvalidProcedureCall,
                       QStringLiteral("The stream \"%1\" cannot grow beyond %2 characters").arg(m_name).arg(kMaxLength));
        m_unflushed = true;
    }

    static void checkOffset(qint64 offset)
    {
        if (offset < 0)
            raiseError(err::InvalidProcedureCall, QStringLiteral("A stream offset cannot be negative"));
    }

    static bool isAllNul(const QString& text)
    {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isNull(); });
    }

    // The content as text, decoded or filled in when it is not held as text yet.
    QString& text()
    {
        if (m_form == Form::Stored)
            m_text = encoding::decodeStored(m_stored);
        else if (m_form == Form::Nuls)
            m_text = QString(m_nuls, QChar(u'\0'));
        m_stored.clear();
        m_nuls = 0;
        m_form = Form::Text;
        return m_text;
    }

    std::shared_ptr<StorageEntry> m_content;
    QString m_name;
    StorageMode m_mode;
    Form m_form = Form::Text;
    QByteArray m_stored; // Stored: the entry's bytes, shared
    QString m_text;      // Text: the content, shared with whoever wrote or stored it
    qsizetype m_nuls = 0; // Nuls: how many
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
        StorageEntry stream;
        stream.name = name;
        m_content->children.push_back(std::move(stream));
        entry = &m_content->children.back();
    }
    entry->bytes.clear();
    entry->written.reset();
    entry->nuls = 0;
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
