// The compound-file members of clsNetwork: FileStore and FileRestore.

#include "network/clsNetwork.h"

#include "model/ErrorTrap.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "network/BusyPointer.h"
#include "network/DocumentOutput.h"
#include "network/NetworkSupport.h"
#include "network/NetworkXMLWriter.h"
#include "platform/Conversions.h"
#include "platform/RootStorage.h"
#include "platform/UiServices.h"

namespace kelvane {

using namespace networksupport;
using platform::StorageMode;

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// The content of a network's stream: its document, which has no network entry around the
// network text, then a line end. The network text is written straight after the document's
// start, not copied into it: a large network is held once.
QString streamContent(clsNetwork& network)
{
    QString content = trapped(kModule, "SerializeOutXML", QString(),
                              [&] { return NetworkXMLWriter(network).text(DocumentOutput::documentStart()); });
    if (content.isEmpty())
        raiseError(err::InvalidProcedureCall, QStringLiteral("The network text could not be made."));
    content += kLineEnd + kDocumentEndTag + kLineEnd;
    return content;
}

// The stream's whole text as Get returns it.
QString readWhole(platform::RootStorage& storage, const QString& name)
{
    const auto stream = storage.OpenStream(name, StorageMode::Read);
    QString text(stream->GetSize(), QChar(u'\0'));
    stream->Get(0, text);
    return text;
}

bool startsBelowDigits(const QString& text)
{
    return !text.isEmpty() && text.front() < u'0';
}

// A short stream ("Networks", "GUID" i): 8-bit text, or the same behind a binary header.
QString readShortStream(platform::RootStorage& storage, const QString& name)
{
    const QString text = readWhole(storage, name);
    return startsBelowDigits(text) ? basGlobal::StripStreamHeader(text) : basGlobal::TrimAtNull(text);
}

// A network stream: 8-bit text, or wide text read back one byte per character behind a header.
QString readNetworkStream(platform::RootStorage& storage, const QString& name)
{
    const QString text = readWhole(storage, name);
    return startsBelowDigits(text) ? basGlobal::WideStreamToText(text) : basGlobal::TrimAtNull(text);
}

QString comparableGUID(const QString& guid)
{
    return basLibrary::ReplaceAll(basLibrary::TrimBlanks(guid), QStringLiteral("\r"), QString());
}

// The name of the stream that holds the network `guid`: the number i of the "GUID" i stream
// that names it; failing that, a stream named by the GUID itself.
QString networkStreamName(platform::RootStorage& storage, const QString& guid)
{
    const QString wanted = comparableGUID(guid);
    const qint32 count = conv::toInt32(conv::leadingNumber(readShortStream(storage, QStringLiteral("Networks"))));
    for (qint32 i = 1; i <= count; ++i) {
        if (comparableGUID(readShortStream(storage, QStringLiteral("GUID") + QString::number(i))) == wanted)
            return QString::number(i);
    }
    if (!wanted.isEmpty() && storage.StreamNames().contains(wanted, Qt::CaseInsensitive))
        return wanted;
    raiseError(err::FileNotFound, QStringLiteral("The file holds no network %1.").arg(wanted));
}

} // namespace

bool clsNetwork::FileStore(platform::RootStorage& Storage)
{
    return trapped(kModule, "FileStore", false, [&] {
        if (Saved)
            return false;
        if (refusedAsReadOnly(FileName()))
            return false;
        const BusyPointer busy;
        const QString name = QString::number(Index);
        std::shared_ptr<platform::StorageStream> stream;
        try {
            stream = Storage.OpenStream(name, StorageMode::Write);
        } catch (const RuntimeError& error) {
            if (error.Number() != err::FileNotFound)
                throw;
            stream = Storage.CreateStream(name, StorageMode::Write);
        }
        // Streams never shrink: the old content is cleared to NULs before the new one is written.
        // The new one is made only then, so that the old content, the NULs and the new content
        // are never held all at once.
        stream->PutNuls(0, stream->GetSize());
        stream->Flush();
        stream->Put(0, streamContent(*this));
        stream->Flush();

        setDirty(false);
        Saved = true;
        return true;
    });
}

bool clsNetwork::FileRestore(platform::RootStorage& Storage, const QString& GUID, AbstractProgressBar* ProgressBar)
{
    return trapped(kModule, "FileRestore", false, [&] {
        const BusyPointer busy;
        QString text = readNetworkStream(Storage, networkStreamName(Storage, GUID));
        bool result = false;
        if (text.startsWith(QStringLiteral("<?xml"), Qt::CaseInsensitive)) {
            requireNetworkDocument(text);
            text.truncate(text.indexOf(kDocumentEndTag) + kDocumentEndTag.size());
            result = SerializeInXML(text, ProgressBar);
        } else {
            platform::ui().setClipboardText(text);
            result = SerializeIn(text);
        }
        setDirty(false);
        return result;
    });
}

} // namespace kelvane
