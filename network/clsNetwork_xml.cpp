// The XML document members of clsNetwork: SerializeOutXML, FileSave and SerializeInXML.

#include "network/clsNetwork.h"

#include "model/ErrorTrap.h"
#include "network/BusyPointer.h"
#include "network/DocumentOutput.h"
#include "network/NetworkSupport.h"
#include "network/NetworkXMLReader.h"
#include "network/NetworkXMLWriter.h"
#include "platform/HostPath.h"

namespace kelvane {

using namespace networksupport;

QString clsNetwork::SerializeOutXML()
{
    return trapped(kModule, "SerializeOutXML", QString(), [this] { return NetworkXMLWriter(*this).text(); });
}

bool clsNetwork::FileSave(DocumentOutput* output)
{
    return trapped(kModule, "FileSave", false, [&] {
        if (Saved)
            return false;
        if (refusedAsReadOnly(FileName()))
            return false;
        const BusyPointer busy;
        const QString text = NetworkXMLWriter(*this).text();
        if (output) {
            output->writeNetworkEntry(text);
        } else {
            DocumentOutput document(platform::hostPath(FileName()));
            if (!document.open())
                raiseError(err::PathFileAccess, document.errorString());
            document.writeDocumentStart();
            document.writeNetworkEntry(text);
            document.writeDocumentEnd();
            if (!document.commit())
                raiseError(err::PathFileAccess, document.errorString());
        }
        setDirty(false);
        Saved = true;
        return true;
    });
}

bool clsNetwork::SerializeInXML(QString& Text, AbstractProgressBar* ProgressBar)
{
    PasswordRefused = false;
    return trapped(kModule, "SerializeInXML", false, [&] { return NetworkXMLReader(*this, ProgressBar).read(Text); });
}

} // namespace kelvane
