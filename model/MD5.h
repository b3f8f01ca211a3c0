#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace kelvane {

// The MD5 message digest of RFC 1321, given as upper-case hexadecimal text. One object holds
// one running digest: MD5Init, MD5Update as often as needed, MD5Final, then GetValues.
// The byte count is 64-bit, so inputs of any length digest correctly.
class MD5 {
public:
    MD5();

    // The state words as signed 32-bit decimal text.
    QString RegisterA() const;
    QString RegisterB() const;
    QString RegisterC() const;
    QString RegisterD() const;

    // The digest of a regular file's bytes; FileNotFound (53), or PathFileAccess (75) when it
    // cannot be read, is no regular file or holds more than platform::kMaxFileBytes.
    QString DigestFileToHexStr(const QString& path);
    // The digest of a text, one ANSI byte per character; Overflow (6) for a character the
    // ANSI code page cannot hold.
    QString DigestStrToHexStr(const QString& source);
    // The state words as 32 hex digits, each word least significant byte first (the digest
    // once MD5Final has run).
    QString GetValues() const;

    void MD5Init();
    // Appends the padding and the length and processes the last block(s).
    void MD5Final();
    // Feeds the first `byteCount` bytes of `bytes`; SubscriptOutOfRange (9) when it holds fewer.
    void MD5Update(qint32 byteCount, const QByteArray& bytes);

    // The value rotated left by (bitCount modulo 32) positions.
    qint32 LongLeftRotate(qint32 value, int bitCount) const;

private:
    void feed(const unsigned char* data, qsizetype length);
    void transform(const unsigned char* block);

    std::array<quint32, 4> m_state {};
    quint64 m_byteCount = 0;
    std::array<unsigned char, 64> m_buffer {};
};

} // namespace kelvane
