// The knowledge-server procedures that the main window and the start dialog carry besides the
// Online road, each over its window's own way to the server, against the scripted server.

#include "app/ProgramServerLogon.h"
#include "diagram/ctlPelnet.h"
#include "diagram/doubles/RecordingParentForm.h"
#include "https/HTTPS.h"
#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "server/TavroClient.h"
#include "server/TavroSession.h"
#include "server/UpdateSpool.h"
#include "server/basXMLRPC.h"
#include "server/frmConnect.h"
#include "shell/basMain.h"
#include "shell/frmViewerSplash.h"
#include "tests/server/FakeKnowledgeServer.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

#include <QJsonObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace kelvane;
using kelvane::test::FakeKnowledgeServer;

namespace {

class ServerTwins : public test::ShellTest {
protected:
    ServerTwins()
    {
        QDir().mkpath(system->temp);
        runFolder = basMain::SetUpFolders();
        settingvalues::writeText(QStringLiteral("Tavro"), server.url());
        settingvalues::writeText(ProgramServerLogon::kTrustedCertificatesKey, server.endpoint().TrustedCertificates);
    }
    ~ServerTwins() override { basLibrary::TempFolder.clear(); }

    // The main window with the sample open from its file, offline.
    frmNavigate& mainWindow()
    {
        frmNavigate& w = load(sample());
        EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Loaded);
        return w;
    }
    TavroClient& client() { return logon->Client(); }
    // The requests the server answered, by name, from the `from`th on.
    QStringList asked(int from = 0) const
    {
        QStringList names;
        for (const QJsonObject& request : server.requests().mid(from)) {
            names << request.value(QStringLiteral("request")).toString();
            EXPECT_NE(request.value(QStringLiteral("expected")), QJsonValue(false)) << names.last().toStdString();
        }
        return names;
    }
    QJsonObject lastOf(const QString& name) const
    {
        QJsonObject found;
        for (const QJsonObject& request : server.requests())
            if (request.value(QStringLiteral("request")).toString() == name)
                found = request;
        return found;
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto& box : ui->messageBoxes)
            texts << box.text;
        return texts;
    }

    FakeKnowledgeServer server;
    std::unique_ptr<QTemporaryDir> runFolder;
    platform::ScopedService<AbstractServerLogon, ProgramServerLogon> logon;
};

} // namespace

TEST_F(ServerTwins, MainWindowConnectsWithSoapThenLogsOnWritesAndLogsOff)
{
    ASSERT_TRUE(server.started());
    frmNavigate& w = mainWindow();
    EXPECT_EQ(client().MainWindow().Transport().HTTPS1().Timeout(), 100); // never without a limit

    ASSERT_TRUE(w.TavroConnect());
    EXPECT_EQ(asked(), (QStringList {QStringLiteral("Connect"), QStringLiteral("tavro.logon")}));
    const QString guid = client().Session().ClientGUID();
    EXPECT_EQ(lastOf(QStringLiteral("Connect")).value(QStringLiteral("body")).toString(),
              "<SOAP:Envelope xmlns:SOAP=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP:Header></SOAP:Header>"
              "<SOAP:Body><m:Connect xmlns:m=\"urn:soapserver/soap:AuthorizationModule\"><GUID>" + guid
                  + "</GUID></m:Connect></SOAP:Body></SOAP:Envelope>\r\n\r\n");
    // The window's request file lies in the run's temporary folder.
    const QString requestFile = client().MainWindow().Transport().RequestFile();
    EXPECT_TRUE(QFile::exists(requestFile));
    EXPECT_TRUE(requestFile.startsWith(runFolder->path() + u'/'));

    // Its own XML-RPC requests, with the key rolling.
    EXPECT_TRUE(w.PostXMLRPC(basXMLRPC::BuildTavroRead(client().Session(), QString(), QStringLiteral("false")))
                    .contains(QStringLiteral("<Name>Cars</Name>")));

    doubles::RecordingParentForm::ProgressBar progress;
    EXPECT_EQ(w.ServerWrite(FakeKnowledgeServer::kCarGUID, QStringLiteral("<kelvanenetwork>A & B</kelvanenetwork>"),
                            QStringLiteral("Cars/Car will not start"), &progress),
              QStringLiteral("OK"));
    EXPECT_EQ(progress.value, 0);
    EXPECT_NE(std::find(progress.values.begin(), progress.values.end(), 100), progress.values.end());
    const QJsonObject written = lastOf(QStringLiteral("written"));
    EXPECT_EQ(written.value(QStringLiteral("xml")).toString(), QStringLiteral("<kelvanenetwork>A & B</kelvanenetwork>"));
    EXPECT_EQ(written.value(QStringLiteral("path")).toString(), QStringLiteral("Cars/Car will not start"));
    EXPECT_EQ(written.value(QStringLiteral("lock")).toString(), QStringLiteral("false"));

    EXPECT_TRUE(w.TavroDisconnect());
    EXPECT_EQ(asked(2), (QStringList {QStringLiteral("tavro.read"), QStringLiteral("tavro.write"), QStringLiteral("written"),
                                      QStringLiteral("tavro.logoff")}));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ServerTwins, MainWindowReadsAndBrowsesWithoutWaiting)
{
    ASSERT_TRUE(server.started());
    frmNavigate& w = mainWindow();
    ASSERT_TRUE(w.TavroConnect());

    ASSERT_TRUE(w.ServerRead(FakeKnowledgeServer::kQuotedGUID));
    EXPECT_TRUE(w.ctlPelnet1().Connected);
    EXPECT_EQ(w.ctlPelnet1().Network()->Name()->Font()->Name, QStringLiteral("Say \"Hi\""));
    EXPECT_FALSE(w.ServerRead(QStringLiteral("01AA0000000000000000000000000000000000000099")));

    // The browser stays up beside the window; OK opens the choice and names the window after it.
    w.ServerConnect();
    frmConnect* browser = w.findChild<frmConnect*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isVisible());
    EXPECT_FALSE(browser->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QTreeWidgetItem* cars = browser->TreeView1()->topLevelItem(0)->child(0);
    ASSERT_EQ(cars->text(0), QStringLiteral("Cars"));
    browser->TreeView1()->setCurrentItem(cars->child(0));
    browser->cmdOK()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.ctlPelnet1().Network()->Name()->Text(), kSampleName);
    EXPECT_EQ(w.Caption(), server.url() + QStringLiteral("/Cars/Car will not start"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.findChild<frmConnect*>(), nullptr);

    // Online, the window's edits are spooled in the user's spool folder.
    const QString spoolFolder = UpdateSpool::FolderIn(system->temp);
    QDir(spoolFolder).removeRecursively();
    ASSERT_TRUE(w.ctlPelnet1().Network()->AddNode(1));
    EXPECT_TRUE(QFile::exists(spoolFolder + QStringLiteral("/orvik00001.qsu")));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ServerTwins, StartDialogReadsWritesAndLogsOffOverItsOwnRequests)
{
    ASSERT_TRUE(server.started());
    frmNavigate& w = mainWindow();
    frmViewerSplash start(w);
    ServerLogon& dialogServer = client().Logon();
    EXPECT_EQ(dialogServer.Transport().HTTPS1().Timeout(), 20);
    ASSERT_TRUE(dialogServer.TavroConnect());
    const QString caption = w.Caption();

    ASSERT_TRUE(start.ServerRead(FakeKnowledgeServer::kQuotedGUID));
    EXPECT_TRUE(w.ctlPelnet1().Connected);
    EXPECT_EQ(w.ctlPelnet1().Network()->Name()->Font()->Name, QStringLiteral("Say \"Hi\""));
    EXPECT_EQ(w.Caption(), caption);

    doubles::RecordingParentForm::ProgressBar progress;
    EXPECT_EQ(start.ServerWrite(FakeKnowledgeServer::kQuotedGUID, QStringLiteral("<a/>"), QStringLiteral("Fonts/Quoted"), &progress),
              QStringLiteral("OK"));
    EXPECT_EQ(progress.value, 0);
    EXPECT_EQ(lastOf(QStringLiteral("written")).value(QStringLiteral("path")).toString(), QStringLiteral("Fonts/Quoted"));
    EXPECT_TRUE(start.TavroDisconnect());
    EXPECT_EQ(asked(), (QStringList {QStringLiteral("tavro.connect"), QStringLiteral("tavro.logon"), QStringLiteral("GetFileObject"),
                                     QStringLiteral("tavro.write"), QStringLiteral("written"), QStringLiteral("tavro.logoff")}));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ServerTwins, WithoutAServerTheTwinsFailCleanly)
{
    ASSERT_TRUE(server.started());
    frmNavigate& w = mainWindow();
    frmViewerSplash start(w);
    basGlobal::ServerURL = FakeKnowledgeServer::refusingURL();
    EXPECT_FALSE(w.TavroConnect());
    EXPECT_FALSE(w.TavroDisconnect());
    EXPECT_FALSE(start.TavroDisconnect());
    EXPECT_TRUE(w.ServerWrite(FakeKnowledgeServer::kCarGUID, QStringLiteral("<a/>"), QStringLiteral("p")).isEmpty());
    EXPECT_TRUE(start.ServerWrite(FakeKnowledgeServer::kCarGUID, QStringLiteral("<a/>"), QStringLiteral("p")).isEmpty());
    const QString refused = QStringLiteral("Cannot connect to server\r[10061] Connection refused");
    EXPECT_EQ(messages(), (QStringList {refused, refused}));
    EXPECT_TRUE(server.requests().isEmpty());
}
