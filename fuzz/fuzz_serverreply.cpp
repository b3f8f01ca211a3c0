// Reads the input as each reply of the knowledge server is read: an XML-RPC reply (the first
// of a session, then one checked against its key), a SOAP reply, a folder listing shown in the
// folder browser, and a knowledge base carried in a GetFileObject reply, opened in a diagram
// control as a document from the server is. Message boxes are answered by a double; an
// error of the reply's form is the readers' own error type; any other outcome but a result
// is a fault.
#include "diagram/AbstractServerSession.h"
#include "diagram/ctlPelnet.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "platform/TextEncoding.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "server/FolderListing.h"
#include "server/TavroSession.h"
#include "server/basXMLRPC.h"
#include "server/basXMLSOAP.h"
#include "server/frmConnect.h"

#include <QApplication>
#include <QTreeWidget>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

using namespace kelvane;

// The diagram's way to the server, answering every read with the reply given.
class ReplySession : public AbstractServerSession {
public:
    explicit ReplySession(QString reply) : m_reply(std::move(reply)) {}
    QString ServerRead(const QString&, AbstractProgressBar*) override
    {
        TavroSession session;
        session.NewClientGUID();
        return basXMLSOAP::ParseSoapResponse(session, m_reply);
    }
    QString ServerWrite(const QString&, const QString&, AbstractProgressBar*) override { return {}; }
    void ServerUpdate(const QString&, const QString&, AbstractProgressBar*) override {}

private:
    QString m_reply;
};

// A reply of the operation carrying `content` inside its result element.
QString soapReply(const QString& operation, const QString& result, const QString& content)
{
    return QStringLiteral("<SOAP:Envelope><SOAP:Body><m:%1Response><Key>K</Key><Anomynous>false</Anomynous><%2>")
               .arg(operation, result)
        + content + QStringLiteral("</%2></m:%1Response></SOAP:Body></SOAP:Envelope>").arg(operation, result);
}

template <class Read>
void readingItsErrors(Read&& read)
{
    try {
        read();
    } catch (const RuntimeError&) {
        // A reply whose form the reader refuses.
    }
}

} // namespace

// The font configuration library keeps its caches for the life of the process, out of the
// leak checker's sight.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_serverreply";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the whole process: ended among the statics at exit, it would leave parts of
    // itself behind.
    static const QApplication* const application = new QApplication(argc, argv);
    static platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    Q_UNUSED(offscreen);
    Q_UNUSED(application);
    ui->messageBoxes.clear();

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = platform::encoding::decodeStored(bytes);

    TavroSession session;
    session.NewClientGUID();
    readingItsErrors([&] {
        basXMLRPC::ParseTavroResponse(session, text); // the first reply: its key is taken
        basXMLRPC::ParseTavroResponse(session, text); // then checked
    });
    readingItsErrors([&] { basXMLSOAP::ParseSoapResponse(session, text); });
    readingItsErrors([&] {
        TavroSession fresh;
        fresh.NewClientGUID();
        basXMLSOAP::ParseSoapResponse(fresh, soapReply(QStringLiteral("GetFolderObject"), QStringLiteral("GetFolderObjectResult"), text));
    });

    ReadFolderListing(text);
    {
        frmConnect browser(QStringLiteral("https://server/tavro"), text);
        if (QTreeWidgetItem* root = browser.TreeView1()->topLevelItem(0); root && root->childCount() > 0)
            browser.TreeView1()->setCurrentItem(root->child(root->childCount() - 1));
    }

    // The document as the diagram control opens one from the server.
    ctlPelnet diagram;
    diagram.setServerSession(std::make_shared<ReplySession>(
        soapReply(QStringLiteral("GetFileObject"), QStringLiteral("GetFileObjectResult"), QStringLiteral("<File>") + text + QStringLiteral("</File>"))));
    diagram.Connected = true;
    diagram.ServerConnect(QStringLiteral("01AA0000000000000000000000000000000000000001"));
    return 0;
}
