#include "model/MD5.h"

#include "platform/RegularFileReader.h"
#include "platform/RuntimeError.h"
#include "platform/TextEncoding.h"

#include <cstring>

namespace kelvane {

namespace {

constexpr std::array<quint32, 4> kInitialState = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
constexpr qsizetype kFileChunk = 1 << 16;

constexpr quint32 rotl(quint32 x, int n) { return (x << n) | (x >> (32 - n)); }

inline quint32 loadLittleEndian(const unsigned char* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

inline void storeLittleEndian(unsigned char* p, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

// The four rounds of RFC 1321, written in forms that need fewer operations.
constexpr quint32 F(quint32 x, quint32 y, quint32 z) { return z ^ (x & (y ^ z)); }
constexpr quint32 G(quint32 x, quint32 y, quint32 z) { return y ^ (z & (x ^ y)); }
constexpr quint32 H(quint32 x, quint32 y, quint32 z) { return x ^ y ^ z; }
constexpr quint32 I(quint32 x, quint32 y, quint32 z) { return y ^ (x | ~z); }

template <quint32 (*Round)(quint32, quint32, quint32)>
inline void step(quint32& a, quint32 b, quint32 c, quint32 d, quint32 word, quint32 constant, int shift)
{
    a = b + rotl(a + Round(b, c, d) + word + constant, shift);
}

QString hexOfWord(quint32 word)
{
    QString hex;
    for (int i = 0; i < 4; ++i)
        hex += QStringLiteral("%1").arg((word >> (8 * i)) & 0xFF, 2, 16, QChar(u'0'));
    return hex.toUpper();
}

} // namespace

MD5::MD5() { MD5Init(); }

QString MD5::RegisterA() const { return QString::number(static_cast<qint32>(m_state[0])); }
QString MD5::RegisterB() const { return QString::number(static_cast<qint32>(m_state[1])); }
QString MD5::RegisterC() const { return QString::number(static_cast<qint32>(m_state[2])); }
QString MD5::RegisterD() const { return QString::number(static_cast<qint32>(m_state[3])); }

QString MD5::DigestFileToHexStr(const QString& path)
{
    MD5Init();
    platform::RegularFileReader file(path);
    QByteArray chunk(kFileChunk, Qt::Uninitialized);
    while (const qint64 read = file.read(chunk.data(), chunk.size()))
        feed(reinterpret_cast<const unsigned char*>(chunk.constData()), read);
    MD5Final();
    return GetValues();
}

QString MD5::DigestStrToHexStr(const QString& source)
{
    // One ANSI byte per character. A character the code page cannot hold raises Overflow, as
    // the byte conversion always did: a "?" in its place would digest another text.
    QByteArray bytes;
    bytes.reserve(source.size());
    for (const QChar c : source) {
        const int code = platform::encoding::ansiCode(c);
        if (code < 0)
            raiseError(err::Overflow);
        bytes.append(static_cast<char>(code));
    }
    MD5Init();
    feed(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
    MD5Final();
    return GetValues();
}

QString MD5::GetValues() const
{
    return hexOfWord(m_state[0]) + hexOfWord(m_state[1]) + hexOfWord(m_state[2]) + hexOfWord(m_state[3]);
}

void MD5::MD5Init()
{
    m_state = kInitialState;
    m_byteCount = 0;
}

void MD5::MD5Final()
{
    const quint64 bitLength = m_byteCount * 8;
    const qsizetype used = static_cast<qsizetype>(m_byteCount % 64);
    const qsizetype padding = (used < 56 ? 56 : 120) - used;
    std::array<unsigned char, 72> tail {};
    tail[0] = 0x80;
    storeLittleEndian(tail.data() + padding, bitLength, 8);
    feed(tail.data(), padding + 8);
}

void MD5::MD5Update(qint32 byteCount, const QByteArray& bytes)
{
    if (byteCount <= 0)
        return;
    if (byteCount > bytes.size())
        raiseError(err::SubscriptOutOfRange);
    feed(reinterpret_cast<const unsigned char*>(bytes.constData()), byteCount);
}

qint32 MD5::LongLeftRotate(qint32 value, int bitCount) const
{
    const int n = ((bitCount % 32) + 32) % 32;
    const auto bits = static_cast<quint32>(value);
    return static_cast<qint32>(n == 0 ? bits : rotl(bits, n));
}

void MD5::feed(const unsigned char* data, qsizetype length)
{
    qsizetype used = static_cast<qsizetype>(m_byteCount % 64);
    m_byteCount += static_cast<quint64>(length);
    if (used > 0) {
        const qsizetype take = std::min<qsizetype>(64 - used, length);
        std::memcpy(m_buffer.data() + used, data, take);
        data += take;
        length -= take;
        used += take;
        if (used < 64)
            return;
        transform(m_buffer.data());
    }
    for (; length >= 64; data += 64, length -= 64)
        transform(data);
    if (length > 0)
        std::memcpy(m_buffer.data(), data, length);
}

void MD5::transform(const unsigned char* block)
{
    quint32 x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = loadLittleEndian(block + 4 * i);
    quint32 a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];

    step<F>(a, b, c, d, x[0], 0xD76AA478, 7);
    step<F>(d, a, b, c, x[1], 0xE8C7B756, 12);
    step<F>(c, d, a, b, x[2], 0x242070DB, 17);
    step<F>(b, c, d, a, x[3], 0xC1BDCEEE, 22);
    step<F>(a, b, c, d, x[4], 0xF57C0FAF, 7);
    step<F>(d, a, b, c, x[5], 0x4787C62A, 12);
    step<F>(c, d, a, b, x[6], 0xA8304613, 17);
    step<F>(b, c, d, a, x[7], 0xFD469501, 22);
    step<F>(a, b, c, d, x[8], 0x698098D8, 7);
    step<F>(d, a, b, c, x[9], 0x8B44F7AF, 12);
    step<F>(c, d, a, b, x[10], 0xFFFF5BB1, 17);
    step<F>(b, c, d, a, x[11], 0x895CD7BE, 22);
    step<F>(a, b, c, d, x[12], 0x6B901122, 7);
    step<F>(d, a, b, c, x[13], 0xFD987193, 12);
    step<F>(c, d, a, b, x[14], 0xA679438E, 17);
    step<F>(b, c, d, a, x[15], 0x49B40821, 22);

    step<G>(a, b, c, d, x[1], 0xF61E2562, 5);
    step<G>(d, a, b, c, x[6], 0xC040B340, 9);
    step<G>(c, d, a, b, x[11], 0x265E5A51, 14);
    step<G>(b, c, d, a, x[0], 0xE9B6C7AA, 20);
    step<G>(a, b, c, d, x[5], 0xD62F105D, 5);
    step<G>(d, a, b, c, x[10], 0x02441453, 9);
    step<G>(c, d, a, b, x[15], 0xD8A1E681, 14);
    step<G>(b, c, d, a, x[4], 0xE7D3FBC8, 20);
    step<G>(a, b, c, d, x[9], 0x21E1CDE6, 5);
    step<G>(d, a, b, c, x[14], 0xC33707D6, 9);
    step<G>(c, d, a, b, x[3], 0xF4D50D87, 14);
    step<G>(b, c, d, a, x[8], 0x455A14ED, 20);
    step<G>(a, b, c, d, x[13], 0xA9E3E905, 5);
    step<G>(d, a, b, c, x[2], 0xFCEFA3F8, 9);
    step<G>(c, d, a, b, x[7], 0x676F02D9, 14);
    step<G>(b, c, d, a, x[12], 0x8D2A4C8A, 20);

    step<H>(a, b, c, d, x[5], 0xFFFA3942, 4);
    step<H>(d, a, b, c, x[8], 0x8771F681, 11);
    step<H>(c, d, a, b, x[11], 0x6D9D6122, 16);
    step<H>(b, c, d, a, x[14], 0xFDE5380C, 23);
    step<H>(a, b, c, d, x[1], 0xA4BEEA44, 4);
    step<H>(d, a, b, c, x[4], 0x4BDECFA9, 11);
    step<H>(c, d, a, b, x[7], 0xF6BB4B60, 16);
    step<H>(b, c, d, a, x[10], 0xBEBFBC70, 23);
    step<H>(a, b, c, d, x[13], 0x289B7EC6, 4);
    step<H>(d, a, b, c, x[0], 0xEAA127FA, 11);
    step<H>(c, d, a, b, x[3], 0xD4EF3085, 16);
    step<H>(b, c, d, a, x[6], 0x04881D05, 23);
    step<H>(a, b, c, d, x[9], 0xD9D4D039, 4);
    step<H>(d, a, b, c, x[12], 0xE6DB99E5, 11);
    step<H>(c, d, a, b, x[15], 0x1FA27CF8, 16);
    step<H>(b, c, d, a, x[2], 0xC4AC5665, 23);

    step<I>(a, b, c, d, x[0], 0xF4292244, 6);
    step<I>(d, a, b, c, x[7], 0x432AFF97, 10);
    step<I>(c, d, a, b, x[14], 0xAB9423A7, 15);
    step<I>(b, c, d, a, x[5], 0xFC93A039, 21);
    step<I>(a, b, c, d, x[12], 0x655B59C3, 6);
    step<I>(d, a, b, c, x[3], 0x8F0CCC92, 10);
    step<I>(c, d, a, b, x[10], 0xFFEFF47D, 15);
    step<I>(b, c, d, a, x[1], 0x85845DD1, 21);
    step<I>(a, b, c, d, x[8], 0x6FA87E4F, 6);
    step<I>(d, a, b, c, x[15], 0xFE2CE6E0, 10);
    step<I>(c, d, a, b, x[6], 0xA3014314, 15);
    step<I>(b, c, d, a, x[13], 0x4E0811A1, 21);
    step<I>(a, b, c, d, x[4], 0xF7537E82, 6);
    step<I>(d, a, b, c, x[11], 0xBD3AF235, 10);
    step<I>(c, d, a, b, x[2], 0x2AD7D2BB, 15);
    step<I>(b, c, d, a, x[9], 0xEB86D391, 21);

    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

} // namespace kelvane
