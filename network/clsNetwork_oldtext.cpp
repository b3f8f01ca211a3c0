// Opening a network from a file or a text: clsNetwork::FileOpen and the reader of the older
// text form, clsNetwork::SerializeIn.

#include "network/clsNetwork.h"

#include "model/ErrorTrap.h"
#include "network/BusyPointer.h"
#include "network/NetworkSupport.h"
#include "network/OlderTextReader.h"
#include "platform/FileBytes.h"

namespace kelvane {

using namespace networksupport;

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
            // A file is read as its own bytes, one character each in the ANSI code page.
            result = SourceText.isEmpty() ? SerializeIn(platform::readFileBytes(FileName())) : SerializeIn(SourceText);
        }
        setDirty(false);
        return result;
    });
}

bool clsNetwork::SerializeIn(QString& SourceText)
{
    PasswordRefused = false;
    return trapped(kModule, "SerializeIn", false, [&] { return OlderTextReader(*this).read(SourceText); });
}

bool clsNetwork::SerializeIn(const QByteArray& ansiText)
{
    PasswordRefused = false;
    return trapped(kModule, "SerializeIn", false, [&] { return OlderTextReader(*this).read(ansiText); });
}

} // namespace kelvane
