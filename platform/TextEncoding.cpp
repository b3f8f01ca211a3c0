#include "platform/TextEncoding.h"

#include <QHash>
#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

namespace platform::encoding {

namespace {

// Characters of the bytes 0x80..0x9F; the five undefined bytes map to the C1 control
// character of the same code, so every byte round-trips.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const QHash<char16_t, int>& reverseTable()
{
    static const QHash<char16_t, int> table = [] {
        QHash<char16_t, int> t;
        for (int i = 0; i < 32; ++i)
            t.insert(kHighControls[i], 0x80 + i);
        return t;
    }();
    return table;
}

} // namespace

int ansiCode(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    const auto it = reverseTable().constFind(u);
    return it == reverseTable().constEnd() ? -1 : *it;
}

QByteArray toAnsi(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const int code = ansiCode(c);
        bytes.append(static_cast<char>(code < 0 ? '?' : code));
    }
    return bytes;
}

namespace {

// The characters of `count` bytes, written at `out`, one at a time.
void widenAnsiBytes(const unsigned char* in, qsizetype count, char16_t* out)
{
    for (qsizetype i = 0; i < count; ++i) {
        const unsigned char b = in[i];
        out[i] = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b);
    }
}

#if defined(__x86_64__)
// Transfers convert hundreds of megabytes of received text: sixteen bytes are widened at
// once, the bytes 0x80 to 0x9F looked up in a table of sixteen bytes at a time, so no
// branch depends on the text, however many of them it holds.
__attribute__((target("ssse3"))) void widenAnsiBlocks(const unsigned char* in, qsizetype count, char16_t* out)
{
    // The characters of 0x80..0x8F and of 0x90..0x9F, as their low and their high bytes.
    const auto table = [](int first, int shift) {
        alignas(16) unsigned char bytes[16];
        for (int i = 0; i < 16; ++i)
            bytes[i] = static_cast<unsigned char>(kHighControls[first + i] >> shift);
        return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
    };
    const __m128i low0 = table(0, 0), low1 = table(16, 0), high0 = table(0, 8), high1 = table(16, 8);
    const __m128i flip = _mm_set1_epi8(char(0x80));
    const __m128i none = _mm_set1_epi8(-1);
    const __m128i span = _mm_set1_epi8(0x20);
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i upperHalf = _mm_set1_epi8(0x10);
    qsizetype i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        // 0x80..0x9F become 0x00..0x1F, every other byte something else.
        const __m128i shifted = _mm_xor_si128(bytes, flip);
        const __m128i looked = _mm_and_si128(_mm_cmpgt_epi8(shifted, none), _mm_cmplt_epi8(shifted, span));
        const __m128i index = _mm_and_si128(bytes, nibble);
        const __m128i upper = _mm_cmpeq_epi8(_mm_and_si128(bytes, upperHalf), upperHalf);
        const __m128i lowFound = _mm_or_si128(_mm_andnot_si128(upper, _mm_shuffle_epi8(low0, index)),
                                              _mm_and_si128(upper, _mm_shuffle_epi8(low1, index)));
        const __m128i highFound = _mm_or_si128(_mm_andnot_si128(upper, _mm_shuffle_epi8(high0, index)),
                                               _mm_and_si128(upper, _mm_shuffle_epi8(high1, index)));
        const __m128i low = _mm_or_si128(_mm_and_si128(looked, lowFound), _mm_andnot_si128(looked, bytes));
        const __m128i high = _mm_and_si128(looked, highFound);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(low, high));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(low, high));
    }
    widenAnsiBytes(in + i, count - i, out + i);
}
#endif

void widenAnsi(const unsigned char* in, qsizetype count, char16_t* out)
{
#if defined(__x86_64__)
    static const bool blocks = __builtin_cpu_supports("ssse3");
    if (blocks) {
        widenAnsiBlocks(in, count, out);
        return;
    }
#endif
    widenAnsiBytes(in, count, out);
}

} // namespace

QString fromAnsi(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    widenAnsi(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), reinterpret_cast<char16_t*>(text.data()));
    return text;
}

void fromAnsi(const QByteArray& bytes, QString& text)
{
    text.resize(bytes.size());
    widenAnsi(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), reinterpret_cast<char16_t*>(text.data()));
}

bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // Runs of ASCII, most of a document, eight bytes at a time.
        while (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, p + i, sizeof word);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char b = p[i];
        int follow = 0;
        char32_t cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            follow = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            follow = 2;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            follow = 3;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + follow >= n)
            return false;
        for (int k = 1; k <= follow; ++k) {
            const unsigned char c = p[i + k];
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        const bool overlong = (follow == 2 && cp < 0x800) || (follow == 3 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += follow + 1;
    }
    return true;
}

QString decodeStored(const QByteArray& bytes)
{
    if (!isValidUtf8(bytes))
        return fromAnsi(bytes);
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

qsizetype decodedLength(const QByteArray& bytes)
{
    if (!isValidUtf8(bytes))
        return bytes.size();
    // Each sequence gives one unit, or two (a surrogate pair) when it takes four bytes.
    qsizetype length = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80)
            length += b >= 0xF0 ? 2 : 1;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        --length;
    return length;
}

} // namespace platform::encoding
