#pragma once

#include <QByteArray>
#include <optional>

namespace kelvane::plexant {

// Received bytes waiting to be cut into pieces for the layer above:
//   - no delimiter: everything buffered is one piece (raw mode);
//   - "\r\n" (line mode): a piece ends at CR or LF; CR LF and LF CR each count as one line
//     end, also when the pair is split over two reads;
//   - any other delimiter: a piece ends at its first exact match, which is removed; in the
//     any-byte mode it ends at any byte of the delimiter and a run of them is skipped.
// Bytes without an end wait for more. Reads take up to 64 KiB at once; a piece still
// without its end at 64 KiB is refused (the peer sends something this connection does not
// expect), so the buffer never holds much more than that.
class ReceiveBuffer {
public:
    static constexpr int kReadSize = 64 * 1024;
    static constexpr int kMaxPiece = 64 * 1024;

    void setDelimiter(const QByteArray& delimiter, bool anyByte = false);
    const QByteArray& delimiter() const { return m_delimiter; }
    bool anyByte() const { return m_anyByte; }

    void append(const char* data, int length);
    // Room for `length` more bytes at the end, to read into; commit() then keeps the `count`
    // bytes that were read there.
    char* reserve(int length);
    void commit(int count);
    // Puts bytes back before those buffered.
    void prepend(const QByteArray& bytes);
    // How many bytes may be read into the buffer now; 0 once a waiting piece reached the cap.
    int freeSpace() const;
    // A piece without its end has reached the cap.
    bool overflowing() const { return freeSpace() == 0; }
    bool isEmpty() const { return m_read >= m_data.size(); }
    int size() const { return int(m_data.size() - m_read); }

    // The next complete piece (without its delimiter), if one is buffered.
    std::optional<QByteArray> nextPiece();
    // Everything buffered, as one incomplete piece; the buffer is empty afterwards.
    QByteArray takeRest();
    void clear();

private:
    bool lineMode() const;
    void compact();

    QByteArray m_data;
    qsizetype m_read = 0;
    qsizetype m_reserved = -1; // the size before the room reserve() made, while it waits for commit()
    QByteArray m_delimiter;
    bool m_anyByte = false;
    // The line end that ended the last piece, when its partner may still arrive.
    char m_pendingPartner = 0;
};

} // namespace kelvane::plexant
