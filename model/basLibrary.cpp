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

QString HexLong8(qint32 value)
{
    return QString::number(static_cast<quint32>(value), 16).toUpper().rightJustified(8, u'0');
}

QString HexInt4(qint16 value)
{
    return QString::number(static_cast<quint16>(value), 16).toUpper().rightJustified(4, u'0');
}

QString HexBytes8(const std::array<quint8, 8>& bytes)
{
    QString run;
    for (quint8 byte : bytes)
        run += QString::number(byte, 16).toUpper();
    return run.rightJustified(16, u'0');
}

QString NewGUIDString()
{
    const quint64 fileTime = platform::clock().utcFileTime();
    const platform::Guid guid = platform::guids().newGuid();
    const QString time = HexLong8(static_cast<qint32>(fileTime >> 32)) + HexLong8(static_cast<qint32>(fileTime));
    return QStringLiteral("01") + time.mid(2, 10) + HexLong8(static_cast<qint32>(guid.data1))
        + HexInt4(static_cast<qint16>(guid.data2)) + HexInt4(static_cast<qint16>(guid.data3)) + HexBytes8(guid.data4);
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
