#include "platform/Conversions.h"

#include "platform/RuntimeError.h"

#include <QLocale>
#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace kelvane::conv {

namespace {

template <typename Int>
Int roundHalfEven(double value)
{
    if (!std::isfinite(value))
        raiseError(err::Overflow);
    const double rounded = std::nearbyint(value); // default rounding mode: half to even
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min())
        || rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        raiseError(err::Overflow);
    return static_cast<Int>(rounded);
}

int hexDigitValue(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return 10 + (u - u'A');
    return -1;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Whether the text is the word (ASCII lower-case letters) in any letter case, as Qt's
// case-insensitive comparison tells it: an ASCII text is compared here, any other is left to
// Qt, which folds a few other letters (the long s) to ASCII ones.
bool readsWord(QStringView text, QStringView word)
{
    if (text.size() != word.size())
        return false;
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 128; }))
        return text.compare(word, Qt::CaseInsensitive) == 0;
    return std::equal(text.begin(), text.end(), word.begin(), [](QChar c, QChar lower) {
        return (c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c) == lower;
    });
}

// The value of a text of at most 15 ASCII digits (each such number a double holds exactly);
// none for any other text.
std::optional<double> plainWholeNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = 10 * value + (c.unicode() - u'0');
    }
    return double(value);
}

} // namespace

qint16 toInt16(double value) { return roundHalfEven<qint16>(value); }
qint32 toInt32(double value) { return roundHalfEven<qint32>(value); }

qint16 add16(qint16 a, qint16 b)
{
    const int sum = int(a) + int(b);
    if (sum < std::numeric_limits<qint16>::min() || sum > std::numeric_limits<qint16>::max())
        raiseError(err::Overflow);
    return static_cast<qint16>(sum);
}

qint32 add32(qint32 a, qint32 b)
{
    const qint64 sum = qint64(a) + qint64(b);
    if (sum < std::numeric_limits<qint32>::min() || sum > std::numeric_limits<qint32>::max())
        raiseError(err::Overflow);
    return static_cast<qint32>(sum);
}

double floorWhole(double value) { return std::floor(value); }

double checkFinite(double value)
{
    if (!std::isfinite(value))
        raiseError(err::Overflow);
    return value;
}

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    if (i + 1 < n && text[i] == u'&') {
        const QChar kind = text[i + 1].toUpper();
        const int base = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
        if (base != 0) {
            qint64 acc = 0;
            for (i += 2; i < n; ++i) {
                const int digit = hexDigitValue(text[i]);
                if (digit < 0 || digit >= base)
                    break;
                acc = acc * base + digit;
                if (acc > 0xFFFFFFFFLL)
                    raiseError(err::Overflow);
            }
            // Like the old literals: up to 16 bits an Integer, else a Long, both two's complement.
            if (acc <= 0xFFFF)
                return static_cast<qint16>(static_cast<quint16>(acc));
            return static_cast<qint32>(static_cast<quint32>(acc));
        }
    }
    // Every character taken is ASCII: a sign, digits, one point, an exponent.
    QVarLengthArray<char, 64> digits;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        digits.append(char(text[i++].unicode()));
    bool seenDigit = false;
    bool seenPoint = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits.append(char(c.unicode()));
            seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            digits.append('.');
            seenPoint = true;
        } else if (isBlank(c)) {
            continue; // the scan steps over embedded blanks, as the old runtime did
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;
    if (i < n && (text[i].toUpper() == u'E' || text[i].toUpper() == u'D')) {
        QVarLengthArray<char, 16> exponent {'e'};
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exponent.append(char(text[j++].unicode()));
        const qsizetype firstDigit = j;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128)
            exponent.append(char(text[j++].unicode()));
        if (j > firstDigit)
            digits.append(exponent.constData(), exponent.size());
    }
    // Both readings round correctly, so they agree wherever the quick one reads the whole
    // text; anything else (a value out of range) is left to QString's reading.
    const char* begin = digits.constData();
    const char* end = begin + digits.size();
    double value = 0.0;
    const auto [stop, error] = std::from_chars(*begin == '+' ? begin + 1 : begin, end, value);
    if (error == std::errc() && stop == end)
        return checkFinite(value);
    bool ok = false;
    value = QString::fromLatin1(begin, digits.size()).toDouble(&ok);
    return ok ? checkFinite(value) : 0.0;
}

double toDouble(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    // Most texts are plain whole numbers: read here as the locale's reading reads them.
    if (const auto whole = plainWholeNumber(trimmed))
        return *whole;
    bool ok = false;
    // A "," is never a thousands separator here: "0,500" must fail so that callers can
    // retry it as a decimal comma.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    const double value = c.toDouble(trimmed, &ok);
    if (!ok || trimmed.isEmpty())
        raiseError(err::TypeMismatch);
    return checkFinite(value);
}

bool toBoolean(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (readsWord(trimmed, u"true"))
        return true;
    if (readsWord(trimmed, u"false"))
        return false;
    return toDouble(trimmed) != 0.0;
}

namespace {

// Qt's "1e-05" / "1.5e+25" written the old way: "1E-05", "1.5E+25" (at least two exponent digits).
QString withOldExponent(const QString& text)
{
    const qsizetype e = text.indexOf(u'e');
    if (e < 0)
        return text;
    const QString mantissa = text.left(e);
    QString exponent = text.mid(e + 1);
    const QChar sign = exponent.startsWith(u'-') ? u'-' : u'+';
    if (exponent.startsWith(u'-') || exponent.startsWith(u'+'))
        exponent.remove(0, 1);
    while (exponent.size() > 2 && exponent.startsWith(u'0'))
        exponent.remove(0, 1);
    while (exponent.size() < 2)
        exponent.prepend(u'0');
    return mantissa + u'E' + sign + exponent;
}

} // namespace

QString numberText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    return withOldExponent(QString::number(value, 'g', QLocale::FloatingPointShortest));
}

QString generalNumberText(double value)
{
    checkFinite(value);
    if (value == 0.0)
        return QStringLiteral("0");
    return withOldExponent(QString::number(value, 'g', 15));
}

} // namespace kelvane::conv
