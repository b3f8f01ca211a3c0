#include "server/TextFiles.h"

#include "platform/CheckedSaveFile.h"
#include "platform/RuntimeError.h"
#include "server/MessageText.h"

#include <QFile>

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
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFile::exists(path))
            return false;
        cannotWrite(path, file.errorString());
    }
    const QByteArray bytes = contentOf(text);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.remove();
        cannotWrite(path, reason);
    }
    return true;
}

} // namespace kelvane::server
