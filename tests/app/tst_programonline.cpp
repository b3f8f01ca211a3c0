// The program's Online road, as a user takes it: the start dialog, the log-on, the folder
// browser and the main window that opens the chosen knowledge base from the server.

#include "app/ProgramServerLogon.h"
#include "diagram/ctlPelnet.h"
#include "model/TextLabel.h"
#include "network/clsNetwork.h"
#include "model/basLibrary.h"
#include "server/UpdateSpool.h"
#include "server/frmConnect.h"
#include "shell/basMain.h"
#include "shell/frmViewerSplash.h"
#include "tests/server/FakeKnowledgeServer.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

#include <QJsonObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace kelvane;
using kelvane::test::FakeKnowledgeServer;

namespace {

frmViewerSplash* shownStartDialog()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* start = qobject_cast<frmViewerSplash*>(top); start && start->isVisible())
            return start;
    }
    return nullptr;
}

// Chooses the car knowledge base in the browser once it shows.
void chooseTheCar(QWidget& shown)
{
    auto* browser = qobject_cast<frmConnect*>(&shown);
    ASSERT_NE(browser, nullptr);
    QTreeWidgetItem* cars = browser->TreeView1()->topLevelItem(0)->child(0);
    ASSERT_EQ(cars->text(0), QStringLiteral("Cars"));
    browser->TreeView1()->setCurrentItem(cars->child(0));
    browser->cmdOK()->click();
}

class ProgramOnline : public test::ShellTest {
protected:
    // The run's own temporary folder, as start-up makes it.
    ProgramOnline()
    {
        QDir().mkpath(system->temp);
        runFolder = basMain::SetUpFolders();
    }
    ~ProgramOnline() override { basLibrary::TempFolder.clear(); }

    // The settings of a user who works with this server.
    void useServer(const FakeKnowledgeServer& server)
    {
        settingvalues::writeText(QStringLiteral("Tavro"), server.url());
        settingvalues::writeText(ProgramServerLogon::kTrustedCertificatesKey, server.endpoint().TrustedCertificates);
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto& box : ui->messageBoxes)
            texts << box.text;
        return texts;
    }

    std::unique_ptr<QTemporaryDir> runFolder;
    platform::ScopedService<AbstractServerLogon, ProgramServerLogon> logon;
};

} // namespace

TEST_F(ProgramOnline, OnlineOpensTheChosenKnowledgeBaseAndSpoolsItsEdits)
{
    FakeKnowledgeServer server;
    ASSERT_TRUE(server.started());
    useServer(server);

    QTimer::singleShot(50, [] {
        frmViewerSplash* start = shownStartDialog();
        ASSERT_NE(start, nullptr);
        ASSERT_TRUE(start->cmdOnLine()->isEnabled());
        start->cmdOnLine()->click();
    });
    test::WhenModalShows browse(chooseTheCar);
    frmNavigate& w = load({});

    EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Loaded);
    ctlPelnet& diagram = w.ctlPelnet1();
    EXPECT_TRUE(diagram.Connected);
    EXPECT_EQ(diagram.Network()->Name()->Text(), kSampleName);
    EXPECT_EQ(w.Caption(), kSampleName);
    EXPECT_FALSE(host->calls.contains(QStringLiteral("CreateKnowledgeBase ")));
    EXPECT_TRUE(messages().isEmpty());

    // An edit made online goes to the user's spool folder, for the user's eyes only, and stays
    // there when the run's own folder goes.
    ASSERT_TRUE(runFolder);
    const QString spoolFolder = UpdateSpool::FolderIn(system->temp);
    QDir(spoolFolder).removeRecursively();
    ASSERT_TRUE(diagram.Network()->AddNode(1));
    const QString spooled = spoolFolder + QStringLiteral("/orvik00001.qsu");
    runFolder.reset();
    EXPECT_TRUE(QFile::exists(spooled));
    EXPECT_EQ(QFile::permissions(spooled) & ~(QFile::ReadUser | QFile::WriteUser), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(QFile::permissions(spoolFolder) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(ProgramOnline, AFailedLogOnIsToldAndALaterOneCanSucceed)
{
    FakeKnowledgeServer refusing(QStringLiteral("wrongkey"));
    FakeKnowledgeServer normal;
    ASSERT_TRUE(refusing.started() && normal.started());
    useServer(refusing);

    QTimer::singleShot(50, [this, &normal] {
        frmViewerSplash* start = shownStartDialog();
        ASSERT_NE(start, nullptr);
        start->cmdOnLine()->click();
        EXPECT_EQ(messages(), (QStringList {test::kInvalidResponse, QStringLiteral("Cannot connect to server")}));
        ASSERT_EQ(shownStartDialog(), start);
        EXPECT_TRUE(start->cmdOnLine()->isEnabled());

        // The user points the program at a server that works and tries again.
        basGlobal::ServerURL = normal.url();
        start->cmdOnLine()->click();
        if (!basGlobal::StartChoiceMade)
            start->close(); // failed again: the program ends
    });
    test::WhenModalShows browse(chooseTheCar);
    frmNavigate& w = load({});
    EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Loaded);
    EXPECT_EQ(w.ctlPelnet1().Network()->Name()->Text(), kSampleName);
    EXPECT_EQ(messages().size(), 2);
}

TEST_F(ProgramOnline, ASecondClickOnOnlineWhileTheLogOnRunsIsIgnored)
{
    FakeKnowledgeServer server(QStringLiteral("slow"));
    ASSERT_TRUE(server.started());
    useServer(server);

    QTimer::singleShot(50, [] {
        frmViewerSplash* start = shownStartDialog();
        ASSERT_NE(start, nullptr);
        QPushButton* online = start->cmdOnLine();
        // The user's double click: the second press lands while the first log-on waits.
        QTimer::singleShot(200, [online] {
            EXPECT_FALSE(online->isEnabled());
            QTest::mouseClick(online, Qt::LeftButton);
        });
        QTest::mouseClick(online, Qt::LeftButton);
        if (!basGlobal::StartChoiceMade)
            start->close(); // the log-on failed: the program ends
    });
    test::WhenModalShows browse(chooseTheCar);
    frmNavigate& w = load({});

    EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Loaded);
    EXPECT_EQ(w.ctlPelnet1().Network()->Name()->Text(), kSampleName);
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
    // One connect, one log-on, each with the key the server expected.
    QStringList asked;
    for (const QJsonObject& request : server.requests()) {
        asked << request.value(QStringLiteral("request")).toString();
        EXPECT_NE(request.value(QStringLiteral("expected")), QJsonValue(false));
    }
    EXPECT_EQ(asked.mid(0, 2), (QStringList {QStringLiteral("tavro.connect"), QStringLiteral("tavro.logon")}));
    EXPECT_EQ(asked.count(QStringLiteral("tavro.connect")), 1);
}

TEST_F(ProgramOnline, CancelInTheBrowserGivesTheStartDialogBack)
{
    FakeKnowledgeServer server;
    ASSERT_TRUE(server.started());
    useServer(server);

    bool checked = false;
    QTimer::singleShot(50, [&checked] {
        frmViewerSplash* start = shownStartDialog();
        ASSERT_NE(start, nullptr);
        QTest::mouseClick(start->cmdOnLine(), Qt::LeftButton);
        // The browser was cancelled: no choice, and both ways in are open again.
        EXPECT_EQ(shownStartDialog(), start);
        EXPECT_TRUE(start->cmdOffline()->isEnabled());
        EXPECT_TRUE(start->cmdOnLine()->isEnabled());
        EXPECT_FALSE(basGlobal::StartChoiceMade);
        checked = true;
        QTest::keyClick(start, Qt::Key_Escape);
    });
    test::WhenModalShows cancel([](QWidget& shown) {
        auto* browser = qobject_cast<frmConnect*>(&shown);
        ASSERT_NE(browser, nullptr);
        QTest::mouseClick(browser->cmdCancel(), Qt::LeftButton);
    });
    frmNavigate& w = load({});
    EXPECT_TRUE(checked);
    EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Unloaded);
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
}
