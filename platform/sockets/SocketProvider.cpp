#include "platform/sockets/SocketProvider.h"

#include "platform/sockets/LinuxSocketLibrary.h"

#include <QRegularExpression>

namespace platform::sockets {

QString defaultSocketLibraryName() { return QStringLiteral("WSOCK32.DLL"); }

std::unique_ptr<SocketLibrary> SystemSocketProvider::load(const QString& path)
{
    auto library = std::make_unique<LinuxSocketLibrary>();
    QString fileName = path;
    fileName = fileName.mid(fileName.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\]"))) + 1);
    const bool named = fileName.compare(defaultSocketLibraryName(), Qt::CaseInsensitive) == 0
        || path == library->fileName();
    if (!named)
        return nullptr;
    return library;
}

} // namespace platform::sockets
