#include "diagram/ctlPelnet.h"
#include "diagram/doubles/RecordingParentForm.h"
#include "https/HTTPS.h"
#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "model/xml/basXML.h"
#include "network/clsNetwork.h"
#include "server/DiagramServerSession.h"
#include "server/ServerLogon.h"
#include "server/TavroClient.h"
#include "server/frmConnect.h"
#include "tests/server/FakeKnowledgeServer.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <functional>

using namespace kelvane;
using kelvane::test::FakeKnowledgeServer;

namespace {

// Runs `act` on the browser once it shows modally; `ran` tells afterwards whether it did.
void whenBrowserShows(const std::function<void(frmConnect&)>& act, bool& ran)
{
    QTimer::singleShot(20, [act, &ran] {
        if (auto* browser = qobject_cast<frmConnect*>(QApplication::activeModalWidget())) {
            ran = true;
            act(*browser);
        } else {
            whenBrowserShows(act, ran);
        }
    });
}

// The tree node reached from the root by its texts.
QTreeWidgetItem* nodeAt(QTreeWidget& tree, const QStringList& texts)
{
    QTreeWidgetItem* node = tree.topLevelItem(0);
    for (const QString& text : texts) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; node && i < node->childCount() && !next; ++i) {
            if (node->child(i)->text(0) == text)
                next = node->child(i);
        }
        node = next;
    }
    return node;
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class ServerOnline : public ::testing::Test {
protected:
    ServerOnline()
    {
        control->ParentForm = &form;
        control->resize(400, 300);
        control->show();
        QDir().mkpath(spoolFolder);
        QFile::setPermissions(spoolFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The diagram's session with the server, as the program sets it up.
    std::shared_ptr<DiagramServerSession> attachSession(const ServerEndpoint& endpoint)
    {
        auto diagramSession = std::make_shared<DiagramServerSession>(session, endpoint, spoolFolder);
        control->setServerSession(diagramSession);
        return diagramSession;
    }

    test::ServerServices services;
    std::shared_ptr<TavroSession> session = std::make_shared<TavroSession>();
    doubles::RecordingParentForm form;
    std::unique_ptr<ctlPelnet> control = std::make_unique<ctlPelnet>();
    QString spoolFolder = test::scratchFolder() + QStringLiteral("/spool");
};

} // namespace

TEST_F(ServerOnline, ChosenKnowledgeBaseOpensOnlineAndEditsAreSpooledPastEarlierRuns)
{
    FakeKnowledgeServer server;
    ASSERT_TRUE(server.started());
    TavroClient client(server.endpoint(), spoolFolder);

    bool ran = false;
    whenBrowserShows([](frmConnect& browser) {
        QTreeWidget& tree = *browser.TreeView1();
        tree.setCurrentItem(nodeAt(tree, {QStringLiteral("Cars")}));
        EXPECT_FALSE(browser.cmdOK()->isEnabled());
        tree.setCurrentItem(nodeAt(tree, {QStringLiteral("Cars"), QStringLiteral("Car will not start")}));
        ASSERT_TRUE(browser.cmdOK()->isEnabled());
        browser.cmdOK()->click();
    }, ran);
    ASSERT_TRUE(client.GoOnline(*control, nullptr));
    ASSERT_TRUE(ran);
    EXPECT_TRUE(control->Connected);
    EXPECT_EQ(control->Network()->Name()->Text(), QStringLiteral("Car will not start"));
    EXPECT_EQ(form.caption, server.url() + QStringLiteral("/Cars/Car will not start"));

    // Online, every edit becomes the next spool file, a PutFileObject under the current key.
    ASSERT_TRUE(control->Network()->AddLayer());
    const QString first = readFile(spoolFolder + QStringLiteral("/orvik00001.qsu"));
    EXPECT_TRUE(first.startsWith(QStringLiteral("<SOAP:Envelope ")));
    EXPECT_TRUE(first.contains(QStringLiteral("<Key>") + client.Session().SessionKey() + QStringLiteral("</Key><FileObjectGUID>")
                               + control->Network()->GUID() + QStringLiteral("</FileObjectGUID><Lock>False</Lock><FileObject><kelvanenetwork>")));
    ASSERT_TRUE(control->Network()->AddNode(1));
    EXPECT_TRUE(QFile::exists(spoolFolder + QStringLiteral("/orvik00002.qsu")));

    // The next run keeps what this one spooled.
    TavroClient nextRun(server.endpoint(), spoolFolder);
    control->setServerSession(nextRun.Diagram());
    ASSERT_TRUE(control->Network()->AddNode(1));
    EXPECT_EQ(readFile(spoolFolder + QStringLiteral("/orvik00001.qsu")), first);
    EXPECT_TRUE(QFile::exists(spoolFolder + QStringLiteral("/orvik00003.qsu")));

    // A second choice in the same run needs no new log-on; a cancelled browser opens nothing.
    const int requests = server.requests().size();
    ran = false;
    whenBrowserShows([](frmConnect& browser) { browser.cmdCancel()->click(); }, ran);
    EXPECT_FALSE(client.GoOnline(*control, nullptr));
    EXPECT_TRUE(ran);
    EXPECT_EQ(server.requests().size(), requests + 1); // the listing only
    EXPECT_TRUE(services.ui->messageBoxes.empty());
}

TEST_F(ServerOnline, DocumentFromTheServerReadsAsItsFileDoes)
{
    FakeKnowledgeServer server;
    ASSERT_TRUE(server.started());
    attachSession(server.endpoint());
    ServerLogon logon(session, server.endpoint());
    ASSERT_TRUE(logon.TavroConnect());
    ASSERT_TRUE(OpenServerDocument(*control, FakeKnowledgeServer::kQuotedGUID));
    // The host window's progress bar followed the reply to its end and was set back.
    const std::vector<int>& progress = form.progressBar.values;
    EXPECT_NE(std::find(progress.begin(), progress.end(), 100), progress.end());
    EXPECT_EQ(form.progressBar.value, 0);

    QString fileText = readFile(test::dataPath(QStringLiteral("server/quoted-font.xml")));
    const auto fromFile = clsNetwork::create();
    QString element = basXML::ExtractXMLElement(fileText, QStringLiteral("kelvanenetwork"));
    fromFile->SerializeInXML(element);
    EXPECT_EQ(control->Network()->SerializeOutXML(), fromFile->SerializeOutXML());
    EXPECT_EQ(control->Network()->Name()->Font()->Name, QStringLiteral("Say \"Hi\""));

    // A knowledge base the server does not have leaves the diagram without one.
    EXPECT_FALSE(OpenServerDocument(*control, QStringLiteral("01AA0000000000000000000000000000000000000099")));
    EXPECT_TRUE(services.ui->messageBoxes.empty());
}

// A server that cannot be reached, whose certificate is not trusted or that does not answer
// in time: the user is told so, and why, on the line below.
TEST_F(ServerOnline, AServerThatCannotBeReachedIsToldWithTheCauseWhenADocumentIsRead)
{
    FakeKnowledgeServer silent(QStringLiteral("silent"));
    FakeKnowledgeServer normal;
    ASSERT_TRUE(silent.started() && normal.started());
    const struct {
        ServerEndpoint endpoint;
        QString cause;
    } cases[] = {
        {{[] { return FakeKnowledgeServer::refusingURL(); }, test::scratchFolder(), QString()}, QStringLiteral("[10061] Connection refused")},
        {normal.endpoint(false), QStringLiteral("Server certificate verification failed. Connection aborted.")},
        {silent.endpoint(), QStringLiteral("Timeout.")},
    };
    for (const auto& c : cases) {
        services.ui->messageBoxes.clear();
        attachSession(c.endpoint)->Transport().HTTPS1().setTimeout(1);
        EXPECT_FALSE(OpenServerDocument(*control, FakeKnowledgeServer::kCarGUID));
        ASSERT_EQ(services.ui->messageBoxes.size(), 1u);
        EXPECT_EQ(services.ui->messageBoxes[0].text, QStringLiteral("Cannot connect to server\r") + c.cause);
        EXPECT_EQ(services.ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    }
}

TEST_F(ServerOnline, BrowserShowsDeepFolderTreesAndOffersOKOnlyOnKnowledgeBases)
{
    FakeKnowledgeServer server(QStringLiteral("normal"), QStringLiteral("deep-listing.xml"));
    ASSERT_TRUE(server.started());
    ServerLogon logon(session, server.endpoint());
    ASSERT_TRUE(logon.TavroConnect());

    bool ran = false;
    whenBrowserShows([&server](frmConnect& browser) {
        QTreeWidget& tree = *browser.TreeView1();
        ASSERT_EQ(tree.topLevelItemCount(), 1);
        EXPECT_EQ(tree.topLevelItem(0)->text(0), server.url());
        // Files stand under their own folder, after its subfolders, at every depth.
        EXPECT_NE(nodeAt(tree, {QStringLiteral("Level 1"), QStringLiteral("First level file")}), nullptr);
        EXPECT_NE(nodeAt(tree, {QStringLiteral("Level 1"), QStringLiteral("Level 2"), QStringLiteral("Level 3"), QStringLiteral("Third level file")}), nullptr);
        // A folder, even one without children, cannot be opened.
        QTreeWidgetItem* emptyFolder = nodeAt(tree, {QStringLiteral("Level 1"), QStringLiteral("Level 2"), QStringLiteral("Level 3b")});
        ASSERT_NE(emptyFolder, nullptr);
        EXPECT_EQ(emptyFolder->childCount(), 0);
        tree.setCurrentItem(emptyFolder);
        EXPECT_FALSE(browser.cmdOK()->isEnabled());
        QTreeWidgetItem* deep = nodeAt(tree, {QStringLiteral("Level 1"), QStringLiteral("Level 2"), QStringLiteral("Level 3"),
                                              QStringLiteral("Level 4"), QStringLiteral("Deep car")});
        ASSERT_NE(deep, nullptr);
        EXPECT_EQ(frmConnect::ImageOf(*deep), frmConnect::FileImage);
        tree.setCurrentItem(deep);
        browser.cmdOK()->click();
    }, ran);
    const std::optional<ServerChoice> choice = logon.ChooseInBrowser(nullptr);
    ASSERT_TRUE(ran);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->GUID, FakeKnowledgeServer::kCarGUID);
    EXPECT_EQ(choice->Path, server.url() + QStringLiteral("/Level 1/Level 2/Level 3/Level 4/Deep car"));

    // A listing that cannot be read shows the server alone.
    frmConnect unreadable(server.url(), QStringLiteral("<html><body>Error</body>"));
    EXPECT_EQ(unreadable.TreeView1()->topLevelItem(0)->childCount(), 0);
}

TEST_F(ServerOnline, AnEditWhoseRecordCannotBeWrittenIsToldAndStaysInTheDocument)
{
    FakeKnowledgeServer server;
    ASSERT_TRUE(server.started());
    TavroClient client(server.endpoint(), spoolFolder);
    bool ran = false;
    whenBrowserShows([](frmConnect& browser) {
        QTreeWidget& tree = *browser.TreeView1();
        tree.setCurrentItem(nodeAt(tree, {QStringLiteral("Cars"), QStringLiteral("Car will not start")}));
        browser.cmdOK()->click();
    }, ran);
    ASSERT_TRUE(client.GoOnline(*control, nullptr));
    ASSERT_TRUE(ran);

    // The disk fills up while the user works online.
    const QStringList spooled = QDir(spoolFolder).entryList(QDir::Files);
    const qint16 layers = control->Network()->Layers().Count();
    {
        const test::FileSizeLimit diskFull(0);
        ASSERT_TRUE(control->Network()->AddLayer());
        ASSERT_TRUE(control->Network()->AddLayer());
    }
    EXPECT_EQ(control->Network()->Layers().Count(), layers + 2);
    ASSERT_EQ(services.ui->messageBoxes.size(), 2u); // once for each edit not recorded
    for (const auto& box : services.ui->messageBoxes) {
        EXPECT_TRUE(box.text.startsWith(QStringLiteral("The change could not be recorded: "))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QStringLiteral("File too large"))) << box.text.toStdString();
        EXPECT_EQ(box.style, platform::msgbox::Exclamation);
    }
    EXPECT_EQ(QDir(spoolFolder).entryList(QDir::Files), spooled); // no file left of them
}
