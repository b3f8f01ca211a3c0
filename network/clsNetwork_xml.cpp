// The XML document members of clsNetwork: SerializeOutXML, FileSave and SerializeInXML.

#include "network/clsNetwork.h"

#include "model/ErrorTrap.h"
#include "network/DocumentOutput.h"
#include "network/NetworkSupport.h"
#include "network/NetworkXMLReader.h"
#include "network/NetworkXMLWriter.h"
#include "platform/HostPath.h"
#include "platform/UiServices.h"

#include <QFileInfo>

namespace kelvane {

using namespace networksupport;

namespace {

// The hourglass for the guard's lifetime; the default pointer again on every way out.
class BusyPointer {
public:
    BusyPointer() { platform::ui().setBusyPointer(true); }
    ~BusyPointer() { platform::ui().setBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// A file nobody may write counts as read-only even for a user who could override that.
bool isReadOnlyFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isFile() && (!info.isWritable() || !(info.permissions() & writeBits));
}

} // namespace

QString clsNetwork::SerializeOutXML()
{
    return trapped(kModule, "SerializeOutXML", QString(), [this] { return NetworkXMLWriter(*this).text(); });
}

bool clsNetwork::FileSave(DocumentOutput* output)
{
    return trapped(kModule, "FileSave", false, [&] {
        if (Saved)
            return false;
        const QString path = platform::hostPath(FileName());
        if (isReadOnlyFile(path)) {
            platform::ui().messageBox(FileName() + QStringLiteral(" is read only"), platform::msgbox::Exclamation,
                                      platform::applicationTitle());
            return false;
        }
        const BusyPointer busy;
        const QString text = NetworkXMLWriter(*this).text();
        if (output) {
            output->writeNetworkEntry(text);
        } else {
            DocumentOutput document(path);
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
    return trapped(kModule, "SerializeInXML", false, [&] { return NetworkXMLReader(*this, ProgressBar).read(Text); });
}

} // namespace kelvane
