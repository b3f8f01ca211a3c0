#include "model/basLibrary.h"

#include "platform/Clock.h"
#include "platform/GuidSource.h"
#include "platform/UiServices.h"

namespace basLibrary {

void ReportError(const QString& moduleName, const QString& procedureName, const kelvane::RuntimeError& error)
{
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

QString ReplaceAll(const QString& text, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(search, from, Qt::CaseSensitive);
        if (at < 0)
            break;
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + search.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

} // namespace basLibrary
