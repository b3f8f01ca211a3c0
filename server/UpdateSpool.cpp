#include "server/UpdateSpool.h"

#include "platform/RuntimeError.h"
#include "server/TextFiles.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace kelvane {

namespace {

// A folder that exists and that other users may enter, read or write, or that is not the user's.
bool openToOthers(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return false; // the write then tells why
    constexpr QFile::Permissions kOthers = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    return info.ownerId() != ::geteuid() || (info.permissions() & kOthers);
}

} // namespace

QString UpdateSpool::FolderIn(const QString& temporaryFolder)
{
    return QDir(temporaryFolder).filePath(QStringLiteral("kelvane-spool-%1").arg(::geteuid()));
}

QString UpdateSpool::PathOf(qint64 number) const
{
    return QDir(m_folder).filePath(QStringLiteral("orvik%1.qsu").arg(number, 5, 10, QLatin1Char('0')));
}

QString UpdateSpool::Spool(const QString& request)
{
    if (!QFileInfo::exists(m_folder)) // when it cannot be made, the write tells why
        QDir().mkdir(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (openToOthers(m_folder))
        raiseError(err::PathFileAccess, QStringLiteral("the folder %1 is open to other users").arg(QDir::toNativeSeparators(m_folder)));
    for (qint64 number = m_counter + 1;; ++number) {
        const QString path = PathOf(number);
        if (server::CreateTextFile(path, request)) {
            m_counter = number;
            return path;
        }
    }
}

} // namespace kelvane
