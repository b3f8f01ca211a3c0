#include "shell/DocumentFiles.h"

#include "model/basLibrary.h"
#include "network/NetworkSupport.h"
#include "platform/CheckedSaveFile.h"
#include "platform/HostPath.h"

#include <QDir>
#include <QFile>

namespace documentfiles {

QString MacroSideFile(const QString& documentPath)
{
    const QString name = basLibrary::FileNameOfPath(documentPath);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot < 0 ? documentPath : documentPath.left(documentPath.size() - name.size() + dot);
    return stem + QStringLiteral(".vba");
}

QString TemporaryCopy(const QString& documentPath)
{
    return QDir(basLibrary::TempFolder).filePath(u'~' + basLibrary::FileNameOfPath(documentPath));
}

bool EndsWith(const QString& path, const QString& extension)
{
    return path.size() >= 4 && path.right(4).toUpper() == extension;
}

bool IsReadOnly(const QString& path)
{
    return kelvane::networksupport::isReadOnlyFile(platform::hostPath(path));
}

bool ReplaceWithCopy(const QString& source, const QString& target, QString& error)
{
    QFile input(platform::hostPath(source));
    if (!input.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 cannot be read: %2").arg(source, input.errorString());
        return false;
    }
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        error = QStringLiteral("%1 cannot be read: %2").arg(source, input.errorString());
        return false;
    }
    platform::CheckedSaveFile output(platform::hostPath(target));
    if (output.open())
        output.write(bytes);
    if (output.commit())
        return true;
    error = output.errorString();
    return false;
}

void Remove(const QString& path)
{
    if (!path.isEmpty())
        QFile::remove(platform::hostPath(path));
}

} // namespace documentfiles
