#include "platform/FileBytes.h"

#include "platform/HostPath.h"
#include "platform/RuntimeError.h"

#include <QFile>

namespace platform {

QByteArray readFileBytes(const QString& path)
{
    QFile file(hostPath(path));
    if (!file.exists())
        kelvane::raiseError(kelvane::err::FileNotFound, QStringLiteral("%1 was not found.").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        kelvane::raiseError(kelvane::err::PathFileAccess,
                            QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        kelvane::raiseError(kelvane::err::PathFileAccess,
                            QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    return bytes;
}

} // namespace platform
