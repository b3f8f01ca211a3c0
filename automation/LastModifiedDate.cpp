#include "automation/LastModifiedDate.h"

#include <QLocale>

namespace kelvane::lastmodified {

namespace {

QDateTime parseWith(const QString& text, const QStringList& dateForms)
{
    static const QStringList timeForms = {QStringLiteral("h:mm:ss AP"), QStringLiteral("h:mm AP"), QStringLiteral("H:mm:ss"),
                                          QStringLiteral("H:mm")};
    const QLocale c = QLocale::c();
    for (const QString& date : dateForms) {
        if (const QDate day = c.toDate(text, date); day.isValid())
            return QDateTime(day, QTime(0, 0));
        for (const QString& time : timeForms) {
            if (const QDateTime moment = c.toDateTime(text, date + u' ' + time); moment.isValid())
                return moment;
        }
    }
    return {};
}

} // namespace

QDateTime parse(const QString& text)
{
    const QString trimmed = text.simplified();
    if (trimmed.isEmpty())
        return {};
    QDateTime iso = QDateTime::fromString(QString(trimmed).replace(u' ', u'T'), Qt::ISODate);
    if (iso.isValid())
        return iso;
    return parseWith(trimmed, {QStringLiteral("M/d/yyyy"), QStringLiteral("d/M/yyyy"), QStringLiteral("d.M.yyyy")});
}

QString format(const QDateTime& dateTime)
{
    return dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace kelvane::lastmodified
