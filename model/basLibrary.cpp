#include "model/basLibrary.h"

#include "platform/Clock.h"
#include "platform/GuidSource.h"
#include "platform/UiServices.h"

#include <QLoggingCategory>

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

// `digits` upper-case hexadecimal digits of the value, leading zeros included.
QString fixedHex(quint64 value, int digits)
{
    char16_t text[16];
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[i] = kHexDigits[value & 0xF];
    return QString(reinterpret_cast<const QChar*>(text), digits);
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
    // Each byte without its leading zero, the run then padded on the left to 16 digits.
    char16_t run[16];
    int length = 0;
    for (quint8 byte : bytes) {
        if (byte >= 0x10)
            run[length++] = kHexDigits[byte >> 4];
        run[length++] = kHexDigits[byte & 0xF];
    }
    QString text(16 - length, u'0');
    text.append(reinterpret_cast<const QChar*>(run), length);
    return text;
}

QString NewGUIDString()
{
    const quint64 fileTime = platform::clock().utcFileTime();
    const platform::Guid guid = platform::guids().newGuid();
    const QString time = HexLong8(static_cast<qint32>(fileTime >> 32)) + HexLong8(static_cast<qint32>(fileTime));
    QString text;
    text.reserve(44);
    text += QStringLiteral("01");
    text += QStringView(time).mid(2, 10);
    text += HexLong8(static_cast<qint32>(guid.data1));
    text += HexInt4(static_cast<qint16>(guid.data2));
    text += HexInt4(static_cast<qint16>(guid.data3));
    text += HexBytes8(guid.data4);
    return text;
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
