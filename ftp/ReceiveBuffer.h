#pragma once

#include <QByteArray>
#include <array>

namespace kelvane::ftp {

// The 2048 bytes a connection receives into, cut into pieces by its delimiter:
//   - no delimiter: all buffered bytes are one piece;
//   - a delimiter sequence: a piece ends at its first exact match, which is removed;
//   - any-byte mode: a piece ends at the first byte that is any byte of the delimiter; the
//     delimiter bytes that follow it in delimiter order go with it ("\r\n": CR LF is one line
//     end, LF CR a line end and an empty piece). When those run to the end of the buffered
//     bytes, their continuation at the very start of the next bytes is dropped too, so a CR LF
//     split over two reads is one line end.
// Pieces are handed over without their delimiter.
class ReceiveBuffer {
public:
    static constexpr int Capacity = 2048;

    void setDelimiter(const QByteArray& delimiter, bool anyByte);
    void clear();

    bool isEmpty() const { return m_begin == m_end; }
    bool isFull() const { return m_end - m_begin == Capacity; }

    // The free space behind the buffered bytes, compacted first when the end is reached.
    char* freeSpace(int& length);
    // Adds `length` bytes written into the free space.
    void commit(int length);

    // The next complete piece; false when the buffered bytes hold none.
    bool takePiece(QByteArray& piece);
    // All buffered bytes as one piece; false when there are none.
    bool takeRest(QByteArray& piece);

private:
    void compact();
    void take(int pieceLength, int consumed, QByteArray& piece);

    std::array<char, Capacity> m_bytes {};
    int m_begin = 0;
    int m_end = 0;
    QByteArray m_delimiter;
    bool m_anyByte = false;
    // Any-byte mode: the delimiter position that the next bytes may continue; -1 for none.
    int m_continuation = -1;
};

} // namespace kelvane::ftp
