#include "https/HTTPS.h"
#include "server/DiagramServerSession.h"
#include "server/ServerLogon.h"
#include "server/basXMLRPC.h"
#include "server/basXMLSOAP.h"
#include "tests/https/ChainCertificates.h"
#include "tests/server/FakeKnowledgeServer.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::FakeKnowledgeServer;
using kelvane::test::kInvalidResponse;

namespace {

class ServerExchanges : public ::testing::Test {
protected:
    // Logs on to the server and gives whether that succeeded.
    bool logOn(const ServerEndpoint& endpoint, int timeLimit = ServerTransport::kStartDialogLimit)
    {
        logon = std::make_unique<ServerLogon>(session, endpoint);
        logon->Transport().HTTPS1().setTimeout(qint16(timeLimit));
        return logon->TavroConnect();
    }
    QString listing() { return logon->PostXMLRPC(basXMLRPC::BuildTavroRead(*session, QString(), QStringLiteral("false"))); }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto& box : services.ui->messageBoxes)
            texts.append(box.text);
        return texts;
    }

    test::ServerServices services;
    std::shared_ptr<TavroSession> session = std::make_shared<TavroSession>();
    std::unique_ptr<ServerLogon> logon;
};

} // namespace

TEST_F(ServerExchanges, LogOnListAndReadWithTheKeyRollingOverEveryExchange)
{
    FakeKnowledgeServer server;
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(logOn(server.endpoint()));
    EXPECT_TRUE(listing().contains(QStringLiteral("<Name>Fonts &amp; quotes</Name>")));

    DiagramServerSession diagram(session, server.endpoint(), test::scratchFolder());
    EXPECT_EQ(diagram.Transport().HTTPS1().Timeout(), ServerTransport::kDiagramLimit);
    for (int read = 0; read < 3; ++read) {
        const QString document = diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr);
        EXPECT_TRUE(document.startsWith(QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE kelvanedocument>\r\n<File>")));
        EXPECT_TRUE(document.contains(QStringLiteral("<string>Car will not start</string>")));
    }
    EXPECT_TRUE(diagram.ServerWrite(FakeKnowledgeServer::kCarGUID, QStringLiteral("<kelvanenetwork/>"), nullptr).isEmpty());

    // Every key the client sent after the first reply was the one the server expected.
    const QList<QJsonObject> requests = server.requests();
    ASSERT_EQ(requests.size(), 8); // connect, logon, read, three documents, the write and what it stored
    int checked = 0;
    for (const QJsonObject& request : requests) {
        if (request.contains(QStringLiteral("expected"))) {
            EXPECT_TRUE(request.value(QStringLiteral("expected")).toBool()) << request.value(QStringLiteral("request")).toString().toStdString();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 6);
    EXPECT_TRUE(messages().isEmpty());

    // Each transport's request file lies in a folder of its own in the temporary folder, and
    // holds its last request and two line ends.
    EXPECT_NE(diagram.Transport().RequestFile(), logon->Transport().RequestFile());
    QFile requestFile(diagram.Transport().RequestFile());
    EXPECT_EQ(QFileInfo(requestFile).fileName(), QStringLiteral("xmlrpc.txt"));
    EXPECT_EQ(QFileInfo(QFileInfo(requestFile).path()).path(), test::scratchFolder() + QStringLiteral("/tmp"));
    ASSERT_TRUE(requestFile.open(QIODevice::ReadOnly));
    const QByteArray written = requestFile.readAll();
    EXPECT_TRUE(written.startsWith("<SOAP:Envelope ") && written.endsWith("</SOAP:Envelope>\r\n\r\n"));
}

// One window's request made while another's waits for its connection (the start dialog
// listing folders while the diagram reads a knowledge base): each posts its own request.
TEST_F(ServerExchanges, ExchangesOfTwoWindowsThatOverlapEachPostTheirOwnRequest)
{
    FakeKnowledgeServer server;
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(logOn(server.endpoint()));
    DiagramServerSession diagram(session, server.endpoint(), test::scratchFolder());
    QString listed;
    QObject::connect(&diagram.Transport().HTTPS1(), qOverload<qint16&, QString&>(&plexant::HTTPS::Connected), &diagram.Transport().HTTPS1(),
                     [&](qint16&, QString&) {
                         if (listed.isEmpty())
                             listed = listing();
                     });
    const QString document = diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr);
    EXPECT_TRUE(listed.contains(QStringLiteral("<Name>Cars</Name>")));
    // The read went out with the key it was made with, which the listing used meanwhile: the
    // server refuses it, and the user is told.
    EXPECT_TRUE(document.isEmpty());
    EXPECT_EQ(messages(), QStringList {kInvalidResponse});
    QStringList asked;
    for (const QJsonObject& request : server.requests())
        asked << request.value(QStringLiteral("request")).toString();
    EXPECT_EQ(asked, (QStringList {QStringLiteral("tavro.connect"), QStringLiteral("tavro.logon"), QStringLiteral("tavro.read"),
                                   QStringLiteral("GetFileObject")}));
}

TEST_F(ServerExchanges, ServersThatRefuseOrFailLeaveTheLogOnFailed)
{
    struct Case {
        const char* mode;
        bool trusted;
        QStringList told;
    };
    const Case cases[] = {
        {"wrongkey", true, {kInvalidResponse}},
        {"refused", true, {}},
        {"html", true, {}},
        {"longlength", true, {}}, // a body shorter than announced: the control refuses the reply
        {"normal", false, {}}, // a certificate nobody trusts: the control's verdict stands
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        services.ui->messageBoxes.clear();
        FakeKnowledgeServer server(QString::fromLatin1(c.mode));
        ASSERT_TRUE(server.started());
        EXPECT_FALSE(logOn(server.endpoint(c.trusted)));
        EXPECT_EQ(messages(), c.told);
    }

    // Nobody listening.
    const ServerEndpoint nowhere {[] { return FakeKnowledgeServer::refusingURL(); }, test::scratchFolder(), QString()};
    EXPECT_FALSE(logOn(nowhere));

    // A server that never answers is given up after the time limit, and a second log-on
    // after the failed ones goes through.
    FakeKnowledgeServer silent(QStringLiteral("silent"));
    ASSERT_TRUE(silent.started());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(logOn(silent.endpoint(), 1));
    EXPECT_LT(clock.elapsed(), 10000);

    FakeKnowledgeServer normal;
    ASSERT_TRUE(normal.started());
    EXPECT_TRUE(logOn(normal.endpoint()));
}

TEST_F(ServerExchanges, OddlyFramedOrTypedRepliesAreReadWhole)
{
    for (const char* mode : {"stringtyped", "nolength", "anonymous"}) {
        SCOPED_TRACE(mode);
        FakeKnowledgeServer server(QString::fromLatin1(mode));
        ASSERT_TRUE(server.started());
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(logOn(server.endpoint()));
        EXPECT_TRUE(listing().contains(QStringLiteral("<Name>Cars</Name>")));
        DiagramServerSession diagram(session, server.endpoint(), test::scratchFolder());
        for (int read = 0; read < 3; ++read)
            EXPECT_TRUE(diagram.ServerRead(FakeKnowledgeServer::kQuotedGUID, nullptr).endsWith(QStringLiteral("</kelvanedocument>\r\n</File>")));
        EXPECT_LT(clock.elapsed(), 10000);
        for (const QJsonObject& request : server.requests())
            EXPECT_NE(request.value(QStringLiteral("expected")), QJsonValue(false));
    }
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ServerExchanges, SoapRepliesWithOtherPrefixesGiveNothing)
{
    FakeKnowledgeServer server(QStringLiteral("otherprefixes"));
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(logOn(server.endpoint()));
    const QString key = session->SessionKey();
    DiagramServerSession diagram(session, server.endpoint(), test::scratchFolder());
    EXPECT_TRUE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).isEmpty());
    EXPECT_EQ(session->SessionKey(), key);
}

TEST_F(ServerExchanges, AServerThatNeverAnswersDoesNotHoldTheWindowsLaterRequests)
{
    FakeKnowledgeServer silent(QStringLiteral("silent"));
    FakeKnowledgeServer normal;
    ASSERT_TRUE(silent.started() && normal.started());
    // The user changes the server's address between requests.
    const auto address = std::make_shared<QString>(silent.url());
    ServerEndpoint endpoint = normal.endpoint();
    endpoint.URL = [address] { return *address; };

    ServerLogon start(session, endpoint);
    start.Transport().HTTPS1().setTimeout(1);
    EXPECT_FALSE(start.TavroConnect());
    *address = normal.url();
    EXPECT_TRUE(start.TavroConnect());

    DiagramServerSession diagram(session, endpoint, test::scratchFolder());
    diagram.Transport().HTTPS1().setTimeout(1);
    *address = silent.url();
    EXPECT_TRUE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).isEmpty());
    EXPECT_EQ(messages(), QStringList {QStringLiteral("Cannot connect to server\rTimeout.")});
    *address = normal.url();
    EXPECT_TRUE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).contains(QStringLiteral("Car will not start")));
    EXPECT_EQ(normal.requests().size(), 3); // connect, logon, the document
}

TEST_F(ServerExchanges, ALogOnAskedForWhileOneWaitsLeavesTheSessionAlone)
{
    FakeKnowledgeServer server(QStringLiteral("slow"));
    ASSERT_TRUE(server.started());
    ServerLogon start(session, server.endpoint());
    bool nestedRan = false;
    QTimer::singleShot(200, [&] {
        const QString guid = session->ClientGUID();
        EXPECT_FALSE(start.TavroConnect());
        EXPECT_EQ(session->ClientGUID(), guid);
        nestedRan = true;
    });
    EXPECT_TRUE(start.TavroConnect());
    EXPECT_TRUE(nestedRan);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ServerExchanges, AKeyOutsideTheAnsiCodePageFailsOneExchangeAndTheNextLogOnSucceeds)
{
    FakeKnowledgeServer server(QStringLiteral("foreignkey"));
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(logOn(server.endpoint()));
    DiagramServerSession diagram(session, server.endpoint(), test::scratchFolder());
    EXPECT_FALSE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).isEmpty());
    EXPECT_TRUE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).isEmpty());
    EXPECT_EQ(messages(), QStringList {kInvalidResponse});

    // The same window logs on again, and the diagram reads with the new session.
    ASSERT_TRUE(logon->TavroConnect());
    EXPECT_FALSE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).isEmpty());
    EXPECT_EQ(messages().size(), 1);
}

TEST_F(ServerExchanges, AUserNameOutsideTheAnsiCodePageIsRefusedBeforeAnythingIsSent)
{
    FakeKnowledgeServer server;
    ASSERT_TRUE(server.started());
    services.system->user = QStringLiteral("\u738B\u5C0F\u660E");
    EXPECT_FALSE(logOn(server.endpoint()));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(QStringLiteral("\u738B\u5C0F\u660E")));
    EXPECT_EQ(services.ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_TRUE(server.requests().isEmpty());

    // The same run, as a user whose name the key can carry.
    services.system->user = FakeKnowledgeServer::user();
    EXPECT_TRUE(logon->TavroConnect());
}

TEST_F(ServerExchanges, AReplyLargerThanTheLimitIsGivenUpAndTheWindowGoesOnWorking)
{
    FakeKnowledgeServer server(QStringLiteral("huge"));
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(logOn(server.endpoint()));
    DiagramServerSession diagram(session, server.endpoint(), test::scratchFolder());
    diagram.Transport().setReplyLimit(1 << 20);
    const QString read = basXMLSOAP::BuildSoapGetFileObject(session->SessionKey(), FakeKnowledgeServer::kCarGUID, QStringLiteral("False"));
    EXPECT_EQ(test::errorNumberOf([&] { diagram.Transport().Post(read); }), err::OutOfMemory);
    EXPECT_TRUE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).isEmpty());
    EXPECT_EQ(messages(), QStringList {QStringLiteral("Cannot connect to server\rThe knowledge server's reply is larger than 1048576 bytes.")});

    // The replies never arrived, so a new log-on starts over; the diagram reads again.
    diagram.Transport().setReplyLimit(ServerTransport::kReplyLimit);
    ASSERT_TRUE(logon->TavroConnect());
    EXPECT_TRUE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).contains(QStringLiteral("Car will not start")));
}

TEST_F(ServerExchanges, AServerCertifiedThroughAnIntermediateIsTrustedByItsRootAlone)
{
    const test::ChainCertificates chain(test::serverFolder(QStringLiteral("chain")));
    FakeKnowledgeServer server(QStringLiteral("normal"), QStringLiteral("listing.xml"),
                               test::ServerIdentity {chain.chain(), chain.key(), chain.root()});
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(logOn(server.endpoint()));
    DiagramServerSession diagram(session, server.endpoint(), test::scratchFolder());
    EXPECT_TRUE(diagram.ServerRead(FakeKnowledgeServer::kCarGUID, nullptr).contains(QStringLiteral("Car will not start")));
    EXPECT_TRUE(messages().isEmpty());

    // The chain the server sends links its certificate to a root only when the user trusts that root.
    FakeKnowledgeServer elsewhere;
    ASSERT_TRUE(elsewhere.started());
    ServerEndpoint otherRoot = server.endpoint();
    otherRoot.TrustedCertificates = elsewhere.endpoint().TrustedCertificates;
    EXPECT_FALSE(logOn(otherRoot));
}
