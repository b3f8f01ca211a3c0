#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <memory>

namespace kelvane::ftp {

// The bytes a connection receives into, cut into pieces by its delimiter:
//   - no delimiter: all buffered bytes are one piece;
//   - a delimiter sequence: a piece ends at its first exact match, which is removed;
//   - any-byte mode: a piece ends at the first byte that is any byte of the delimiter; the
//     delimiter bytes that follow it in delimiter order go with it ("\r\n": CR LF is one line
//     end, LF CR a line end and an empty piece). When those run to the end of the buffered
//     bytes, their continuation at the very start of the next bytes is dropped too, so a CR LF
//     split over two reads is one line end.
// Pieces are handed over without their delimiter, as views into the buffer that stay valid
// until the next bytes are added.
class ReceiveBuffer {
public:
    // The control connection's lines.
    static constexpr int DefaultCapacity = 2048;
    // The data connection's: one read per 64 KiB keeps a transfer near the wire's speed.
    static constexpr int DataCapacity = 64 * 1024;

    explicit ReceiveBuffer(int capacity = DefaultCapacity);

    int capacity() const { return m_capacity; }
    void setDelimiter(const QByteArray& delimiter, bool anyByte);
    void clear();

    bool isEmpty() const { return m_begin == m_end; }
    bool isFull() const { return m_end - m_begin == m_capacity; }

    // The free space behind the buffered bytes, compacted first when the end is reached.
    char* freeSpace(int& length);
    // Adds `length` bytes written into the free space.
    void commit(int length);

    // The next complete piece; false when the buffered bytes hold none.
    bool takePiece(QByteArrayView& piece);
    // The next piece to hand over: a complete one, or, when the buffer is full of one
    // unfinished piece, all of it (`complete` false). False when there is none yet.
    bool takeNext(QByteArrayView& piece, bool& complete);
    // All buffered bytes as one piece; false when there are none.
    bool takeRest(QByteArrayView& piece);

private:
    void compact();
    void take(int pieceLength, int consumed, QByteArrayView& piece);

    int m_capacity;
    std::unique_ptr<char[]> m_bytes;
    int m_begin = 0;
    int m_end = 0;
    QByteArray m_delimiter;
    bool m_anyByte = false;
    // Any-byte mode: which bytes end a piece.
    std::array<bool, 256> m_endsPiece {};
    // Any-byte mode: the delimiter position that the next bytes may continue; -1 for none.
    int m_continuation = -1;
    // Where the search for the next delimiter goes on: the bytes before were searched, so a
    // line that arrives in many small reads is not searched again from its start each time.
    int m_searchFrom = 0;
};

} // namespace kelvane::ftp
