#include "https/ReceiveBuffer.h"

#include <algorithm>

namespace kelvane::plexant {

namespace {
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
}

void ReceiveBuffer::setDelimiter(const QByteArray& delimiter, bool anyByte)
{
    m_delimiter = delimiter;
    m_anyByte = anyByte;
}

bool ReceiveBuffer::lineMode() const { return !m_anyByte && m_delimiter == kLineEnd; }

void ReceiveBuffer::append(const char* data, int length)
{
    if (length <= 0)
        return;
    compact();
    m_data.append(data, length);
}

char* ReceiveBuffer::reserve(int length)
{
    compact();
    m_reserved = m_data.size();
    m_data.resize(m_reserved + length);
    return m_data.data() + m_reserved;
}

void ReceiveBuffer::commit(int count)
{
    if (m_reserved < 0)
        return;
    m_data.resize(m_reserved + std::max(count, 0));
    m_reserved = -1;
}

void ReceiveBuffer::prepend(const QByteArray& bytes)
{
    compact();
    m_data.prepend(bytes);
}

int ReceiveBuffer::freeSpace() const
{
    // Raw pieces leave with every delivery; a piece that waits for its end may grow to the cap.
    if (m_delimiter.isEmpty())
        return kReadSize;
    return std::max(0, std::min(kReadSize, kMaxPiece - size()));
}

void ReceiveBuffer::compact()
{
    if (m_read == 0)
        return;
    m_data.remove(0, m_read);
    m_read = 0;
}

std::optional<QByteArray> ReceiveBuffer::nextPiece()
{
    // The partner of a line end that closed the previous piece belongs to that line end,
    // whatever mode the buffer is in now.
    if (m_pendingPartner != 0 && !isEmpty()) {
        if (m_data.at(m_read) == m_pendingPartner)
            ++m_read;
        m_pendingPartner = 0;
    }
    if (m_delimiter.isEmpty()) {
        if (isEmpty())
            return std::nullopt;
        return takeRest();
    }
    const char* begin = m_data.constData() + m_read;
    const char* end = m_data.constData() + m_data.size();

    if (lineMode()) {
        const char* lineEnd = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
        if (lineEnd == end)
            return std::nullopt;
        QByteArray piece(begin, lineEnd - begin);
        const char first = *lineEnd;
        const char partner = first == '\r' ? '\n' : '\r';
        m_read = (lineEnd - m_data.constData()) + 1;
        if (m_read < m_data.size()) {
            if (m_data.at(m_read) == partner)
                ++m_read;
        } else {
            m_pendingPartner = partner;
        }
        return piece;
    }

    if (m_anyByte) {
        const char* found = std::find_if(begin, end, [this](char c) { return m_delimiter.contains(c); });
        if (found == end)
            return std::nullopt;
        QByteArray piece(begin, found - begin);
        while (found != end && m_delimiter.contains(*found))
            ++found;
        m_read = found - m_data.constData();
        return piece;
    }

    const qsizetype at = m_data.indexOf(m_delimiter, m_read);
    if (at < 0)
        return std::nullopt;
    QByteArray piece = m_data.mid(m_read, at - m_read);
    m_read = at + m_delimiter.size();
    return piece;
}

QByteArray ReceiveBuffer::takeRest()
{
    // The bytes leave as a copy of their own; the buffer keeps its storage for the next
    // read, so a steady stream does not allocate and free a buffer for every read.
    QByteArray rest(m_data.constData() + m_read, size());
    m_data.resize(0);
    m_read = 0;
    m_reserved = -1;
    m_pendingPartner = 0;
    return rest;
}

void ReceiveBuffer::clear()
{
    m_data.clear();
    m_read = 0;
    m_reserved = -1;
    m_pendingPartner = 0;
}

} // namespace kelvane::plexant
