#include "platform/ProcessLauncher.h"

#include "platform/RuntimeError.h"

#include <QProcess>

namespace platform {

void DetachedProcessLauncher::start(const QString& program, const QStringList& arguments)
{
    if (program.isEmpty() || !QProcess::startDetached(program, arguments))
        kelvane::raiseError(kelvane::err::FileNotFound);
}

} // namespace platform
