#include "ftp/ReceiveBuffer.h"

#include <algorithm>
#include <cstring>

namespace kelvane::ftp {

ReceiveBuffer::ReceiveBuffer(int capacity) : m_capacity(capacity), m_bytes(std::make_unique_for_overwrite<char[]>(static_cast<size_t>(capacity))) {}

void ReceiveBuffer::setDelimiter(const QByteArray& delimiter, bool anyByte)
{
    m_delimiter = delimiter;
    m_anyByte = anyByte;
    m_endsPiece.fill(false);
    for (const char c : delimiter)
        m_endsPiece[static_cast<unsigned char>(c)] = true;
    m_continuation = -1;
    m_searchFrom = m_begin;
}

void ReceiveBuffer::clear()
{
    m_begin = m_end = m_searchFrom = 0;
    m_continuation = -1;
}

void ReceiveBuffer::compact()
{
    if (m_begin == 0)
        return;
    std::memmove(m_bytes.get(), m_bytes.get() + m_begin, static_cast<size_t>(m_end - m_begin));
    m_end -= m_begin;
    m_searchFrom -= m_begin;
    m_begin = 0;
}

char* ReceiveBuffer::freeSpace(int& length)
{
    if (m_end == m_capacity)
        compact();
    length = m_capacity - m_end;
    return m_bytes.get() + m_end;
}

void ReceiveBuffer::commit(int length)
{
    const int first = m_end;
    m_end += length;
    if (m_continuation < 0 || length <= 0)
        return;
    // Drop what continues a line end cut at the end of the earlier bytes.
    int at = first;
    while (m_continuation < m_delimiter.size() && at < m_end && m_bytes[at] == m_delimiter[m_continuation]) {
        ++at;
        ++m_continuation;
    }
    m_continuation = -1;
    if (at > first) {
        std::memmove(m_bytes.get() + first, m_bytes.get() + at, static_cast<size_t>(m_end - at));
        m_end -= at - first;
    }
}

void ReceiveBuffer::take(int pieceLength, int consumed, QByteArrayView& piece)
{
    piece = QByteArrayView(m_bytes.get() + m_begin, pieceLength);
    m_begin += consumed;
    if (m_begin == m_end)
        m_begin = m_end = 0;
    m_searchFrom = m_begin;
}

bool ReceiveBuffer::takePiece(QByteArrayView& piece)
{
    if (isEmpty())
        return false;
    const char* data = m_bytes.get() + m_begin;
    const int length = m_end - m_begin;
    if (m_delimiter.isEmpty()) {
        take(length, length, piece);
        return true;
    }
    // A delimiter of several bytes may have begun in the bytes searched before.
    const int overlap = m_anyByte ? 0 : static_cast<int>(m_delimiter.size()) - 1;
    const int searched = std::max(0, m_searchFrom - m_begin - overlap);
    if (!m_anyByte) {
        const auto at = static_cast<int>(QByteArrayView(data, length).indexOf(m_delimiter, searched));
        if (at < 0) {
            m_searchFrom = m_end;
            return false;
        }
        take(at, at + static_cast<int>(m_delimiter.size()), piece);
        return true;
    }
    for (int at = searched; at < length; ++at) {
        if (!m_endsPiece[static_cast<unsigned char>(data[at])])
            continue;
        int position = static_cast<int>(m_delimiter.indexOf(data[at]));
        int end = at + 1;
        ++position;
        while (position < m_delimiter.size() && end < length && data[end] == m_delimiter[position]) {
            ++end;
            ++position;
        }
        const bool cutAtEnd = end == length && position < m_delimiter.size();
        take(at, end, piece);
        m_continuation = cutAtEnd ? position : -1;
        return true;
    }
    m_searchFrom = m_end;
    return false;
}

bool ReceiveBuffer::takeNext(QByteArrayView& piece, bool& complete)
{
    complete = takePiece(piece);
    if (complete)
        return true;
    // A buffer full of one unfinished piece is handed over as it stands.
    return isFull() && takeRest(piece);
}

bool ReceiveBuffer::takeRest(QByteArrayView& piece)
{
    if (isEmpty())
        return false;
    take(m_end - m_begin, m_end - m_begin, piece);
    return true;
}

} // namespace kelvane::ftp
