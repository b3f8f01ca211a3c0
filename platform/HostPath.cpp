#include "platform/HostPath.h"

namespace platform {

QString hostPath(const QString& path)
{
    QString host = path;
    host.replace(u'\\', u'/');
    return host;
}

} // namespace platform
