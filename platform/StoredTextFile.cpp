#include "platform/StoredTextFile.h"

#include "platform/LargePages.h"
#include "platform/RegularFileReader.h"
#include "platform/TextEncoding.h"

#include <QStringDecoder>
#include <optional>

namespace platform::encoding {

namespace {

// The length of `bytes` without a UTF-8 sequence its end cuts short (a lead byte asking for
// more bytes than follow it): the slices of the file are then checked and decoded at
// character boundaries only.
qsizetype wholeCharactersLength(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= n; ++back) {
        const auto b = static_cast<unsigned char>(bytes[n - back]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte
        const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? n - back : n;
    }
    return n;
}

// Checks and decodes the file's bytes slice by slice into one text; gives up at the first
// bytes that are not UTF-8.
class Utf8FileText {
public:
    void reserve(qint64 size)
    {
        m_text.reserve(qsizetype(size));
        const std::size_t bytes = std::size_t(m_text.capacity()) * sizeof(QChar);
        preferLargePages(m_text.data(), bytes);
        m_backing.emplace(m_text.data(), bytes);
    }

    void add(QByteArrayView slice)
    {
        if (!m_valid)
            return;
        QByteArrayView bytes = slice;
        if (!m_pending.isEmpty()) {
            m_pending.append(slice);
            bytes = m_pending;
        }
        const qsizetype whole = wholeCharactersLength(bytes);
        decode(bytes.first(whole));
        QByteArray rest = bytes.sliced(whole).toByteArray();
        m_pending = std::move(rest);
    }

    // The text, or none when the bytes were not UTF-8 (a sequence cut short at the end included).
    std::optional<QString> take()
    {
        m_backing.reset();
        if (!m_valid || !m_pending.isEmpty())
            return std::nullopt;
        return std::move(m_text);
    }

private:
    void decode(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return;
        if (!isValidUtf8(QByteArray::fromRawData(bytes.data(), bytes.size()))) {
            m_valid = false;
            m_backing.reset();
            m_text.clear();
            return;
        }
        // Valid UTF-8 never takes more characters than bytes; the decoder drops a leading
        // byte-order mark.
        const qsizetype at = m_text.size();
        m_text.resize(at + bytes.size());
        const QChar* end = m_decoder.appendToBuffer(m_text.data() + at, bytes);
        m_text.truncate(end - m_text.constData());
    }

    QString m_text;
    std::optional<PagesBackedAhead> m_backing; // ends before the text it backs
    QStringDecoder m_decoder {QStringDecoder::Utf8};
    QByteArray m_pending; // the start of a character the next slice completes
    bool m_valid = true;
};

} // namespace

QString readStoredTextFile(const QString& path)
{
    RegularFileReader file(path);
    Utf8FileText utf8;
    utf8.reserve(file.size());
    char slice[64 * 1024];
    while (const qint64 count = file.read(slice, sizeof slice))
        utf8.add(QByteArrayView(slice, qsizetype(count)));
    if (auto text = utf8.take())
        return std::move(*text);
    // Not UTF-8: the same open file, read again from its start.
    file.rewind();
    return fromAnsi(file.readRest());
}

} // namespace platform::encoding
