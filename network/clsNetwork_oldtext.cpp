// Opening a network from a file or a text: clsNetwork::FileOpen and the reader of the older
// text form, clsNetwork::SerializeIn.

#include "network/clsNetwork.h"

#include "model/ErrorTrap.h"
#include "network/BusyPointer.h"
#include "network/NetworkSupport.h"
#include "network/OlderTextReader.h"
#include "platform/HostPath.h"
#include "platform/TextEncoding.h"

#include <QFile>

namespace kelvane {

using namespace networksupport;

namespace {

// The file's own bytes, one character each in the ANSI code page.
QString readOlderTextFile(const QString& fileName)
{
    QFile file(platform::hostPath(fileName));
    if (!file.exists())
        raiseError(err::FileNotFound, QStringLiteral("%1 was not found.").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        raiseError(err::PathFileAccess, QStringLiteral("%1 cannot be read: %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raiseError(err::PathFileAccess, QStringLiteral("%1 cannot be read: %2").arg(fileName, file.errorString()));
    return platform::encoding::fromAnsi(bytes);
}

} // namespace

bool clsNetwork::FileOpen(QString& SourceText, bool IsXML, AbstractProgressBar* ProgressBar)
{
    return trapped(kModule, "FileOpen", false, [&] {
        const BusyPointer busy;
        const QString extension = FileName().right(4).toUpper();
        if (extension == QLatin1String(".QKB"))
            NetworkType = 1;
        else if (extension == QLatin1String(".QSN"))
            NetworkType = 2;

        bool result = false;
        if (IsXML) {
            requireNetworkDocument(SourceText);
            result = SerializeInXML(SourceText, ProgressBar);
        } else {
            Structured = false;
            if (SourceText.isEmpty())
                SourceText = readOlderTextFile(FileName());
            result = SerializeIn(SourceText);
        }
        setDirty(false);
        return result;
    });
}

bool clsNetwork::SerializeIn(QString& SourceText)
{
    return trapped(kModule, "SerializeIn", false, [&] { return OlderTextReader(*this).read(SourceText); });
}

} // namespace kelvane
