#include "model/basLibrary.h"

#include "platform/Clock.h"
#include "platform/GuidSource.h"
#include "platform/UiServices.h"

#include <QLoggingCategory>

#include <algorithm>

namespace basLibrary {

namespace {

Q_LOGGING_CATEGORY(trappedErrors, "kelvane.errors")

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return 10 + (u - u'A');
    if (u >= u'a' && u <= u'f')
        return 10 + (u - u'a');
    return -1;
}
} // namespace

void ReportError(const QString& moduleName, const QString& procedureName, const kelvane::RuntimeError& error)
{
    // Every trapped error is logged, so failures can be seen outside debug mode too.
    qCWarning(trappedErrors).noquote() << QStringLiteral("Error in routine: %1 in module: %2 [%3] %4")
                                              .arg(procedureName, moduleName, QString::number(error.Number()),
                                                   error.Description());
    if (!DebugMode)
        return;
    const QString message = QStringLiteral("Error in routine: ") + procedureName + QStringLiteral(" in module: ")
        + moduleName + QChar(u'\r') + u'[' + QString::number(error.Number()) + QStringLiteral("] ")
        + error.Description();
    platform::ui().messageBox(message, platform::msgbox::OKOnly | platform::msgbox::Exclamation,
                              platform::applicationTitle());
}

namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

QString textOf(const char16_t* characters, qsizetype count)
{
    return QString(reinterpret_cast<const QChar*>(characters), count);
}

// Writes `digits` upper-case hexadecimal digits of the value, leading zeros included; returns
// where the text written ends.
char16_t* writeHex(char16_t* out, quint64 value, int digits)
{
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        out[i] = kHexDigits[value & 0xF];
    return out + digits;
}

// `digits` upper-case hexadecimal digits of the value, leading zeros included.
QString fixedHex(quint64 value, int digits)
{
    char16_t text[16];
    writeHex(text, value, digits);
    return textOf(text, digits);
}

// Writes the 16 digits of HexBytes8; returns where they end.
char16_t* writeHexBytes(char16_t* out, const std::array<quint8, 8>& bytes)
{
    // Each byte without its leading zero, the run then padded on the left to 16 digits.
    char16_t run[16];
    int length = 0;
    for (quint8 byte : bytes) {
        if (byte >= 0x10)
            run[length++] = kHexDigits[byte >> 4];
        run[length++] = kHexDigits[byte & 0xF];
    }
    out = std::fill_n(out, 16 - length, u'0');
    return std::copy_n(run, length, out);
}

constexpr std::size_t kGUIDLength = 44;

// The characters of a new GUID text, as NewGUIDString gives them.
std::array<char16_t, kGUIDLength> newGUIDCharacters()
{
    const quint64 fileTime = platform::clock().utcFileTime();
    const platform::Guid guid = platform::guids().newGuid();
    std::array<char16_t, kGUIDLength> text {};
    char16_t* out = text.data();
    *out++ = u'0';
    *out++ = u'1';
    out = writeHex(out, fileTime >> 16, 10); // the time's digits 3 to 12 of 16
    out = writeHex(out, guid.data1, 8);
    out = writeHex(out, guid.data2, 4);
    out = writeHex(out, guid.data3, 4);
    writeHexBytes(out, guid.data4);
    return text;
}

} // namespace

QString HexLong8(qint32 value)
{
    return fixedHex(static_cast<quint32>(value), 8);
}

QString HexInt4(qint16 value)
{
    return fixedHex(static_cast<quint16>(value), 4);
}

QString HexBytes8(const std::array<quint8, 8>& bytes)
{
    char16_t text[16];
    writeHexBytes(text, bytes);
    return textOf(text, 16);
}

QString NewGUIDString()
{
    const auto text = newGUIDCharacters();
    return textOf(text.data(), qsizetype(text.size()));
}

void RenewGUIDString(QString& guid)
{
    const auto text = newGUIDCharacters();
    if (guid.isDetached() && guid.size() == qsizetype(text.size()))
        std::copy(text.cbegin(), text.cend(), reinterpret_cast<char16_t*>(guid.data()));
    else
        guid = textOf(text.data(), qsizetype(text.size()));
}

qint32 HexToLong(const QString& hex)
{
    if (hex.isEmpty())
        kelvane::raiseError(kelvane::err::TypeMismatch);
    quint64 value = 0;
    for (const QChar c : hex) {
        const int nibble = hexDigitValue(c);
        if (nibble < 0)
            kelvane::raiseError(kelvane::err::TypeMismatch);
        value = value * 16 + static_cast<quint64>(nibble);
        if (value > 0xFFFFFFFFULL)
            kelvane::raiseError(kelvane::err::Overflow);
    }
    return static_cast<qint32>(static_cast<quint32>(value));
}

} // namespace basLibrary
