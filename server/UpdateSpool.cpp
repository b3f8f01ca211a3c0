#include "server/UpdateSpool.h"

#include "server/TextFiles.h"

#include <QDir>

namespace kelvane {

QString UpdateSpool::PathOf(qint64 number) const
{
    return QDir(m_folder).filePath(QStringLiteral("orvik%1.qsu").arg(number, 5, 10, QLatin1Char('0')));
}

QString UpdateSpool::Spool(const QString& request)
{
    for (qint64 number = m_counter + 1;; ++number) {
        const QString path = PathOf(number);
        if (server::CreateTextFile(path, request)) {
            m_counter = number;
            return path;
        }
    }
}

} // namespace kelvane
