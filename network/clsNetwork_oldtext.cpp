// Opening a network from a file or a text: clsNetwork::FileOpen and the reader of the older
// text form, clsNetwork::SerializeIn.

#include "network/clsNetwork.h"

#include "model/ErrorTrap.h"
#include "network/BusyPointer.h"
#include "network/NetworkSupport.h"
#include "network/OlderTextReader.h"
#include "platform/FileBytes.h"
#include "platform/TextEncoding.h"


namespace kelvane {

using namespace networksupport;

namespace {

// The file's own bytes, one character each in the ANSI code page.
QString readOlderTextFile(const QString& fileName)
{
    return platform::encoding::fromAnsi(platform::readFileBytes(fileName));
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
    PasswordRefused = false;
    return trapped(kModule, "SerializeIn", false, [&] { return OlderTextReader(*this).read(SourceText); });
}

} // namespace kelvane
