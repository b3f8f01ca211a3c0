#include "server/TextFiles.h"

#include "platform/CheckedSaveFile.h"
#include "platform/RuntimeError.h"
#include "server/MessageText.h"

#include <QFile>
#include <QFileInfo>

namespace kelvane::server {

namespace {

QByteArray contentOf(const QString& text) { return (text + kCRLF).toUtf8(); }

[[noreturn]] void cannotWrite(const QString& path, const QString& reason)
{
    raiseError(err::PathFileAccess, QStringLiteral("%1 cannot be written: %2").arg(path, reason));
}

} // namespace

void WriteTextFile(const QString& path, const QString& text)
{
    platform::CheckedSaveFile file(path);
    if (!file.open())
        cannotWrite(path, file.errorString());
    file.write(contentOf(text));
    if (!file.commit())
        cannotWrite(path, file.errorString());
}

bool CreateTextFile(const QString& path, const QString& text)
{
    QFile file(path);
    // Made exclusively with the owner's permissions alone: no moment in which another user
    // could open it, and never through a link someone left under that name.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, QFile::ReadOwner | QFile::WriteOwner)) {
        if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
            return false;
        cannotWrite(path, file.errorString());
    }
    qint64 written = 0;
    if (const std::optional<QString> reason = platform::writeWhole(file.handle(), contentOf(text), written)) {
        file.close();
        QFile::remove(path);
        cannotWrite(path, *reason);
    }
    return true;
}

} // namespace kelvane::server
