#include "server/FolderListing.h"
#include "server/ReplyElements.h"
#include "server/basXMLRPC.h"
#include "server/basXMLSOAP.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/ErrorAssertions.h"

#include <gtest/gtest.h>

using namespace basXMLRPC;
using namespace basXMLSOAP;
using kelvane::TavroSession;
using kelvane::test::expectedKeyHash;
using kelvane::test::kInvalidResponse;

namespace {

QString methodResponse(const QString& members)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<methodResponse><params><param><value><struct>") + members
        + QStringLiteral("</struct></value></param></params></methodResponse>");
}

QString member(const QString& name, const QString& value)
{
    return QStringLiteral("<member><name>%1</name><value>%2</value></member>").arg(name, value);
}

QString soapResponse(const QString& operation, const QString& key, const QString& more)
{
    return QStringLiteral("<?xml version=\"1.0\"?><SOAP:Envelope xmlns:SOAP=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                          "<SOAP:Body><m:%1Response xmlns:m=\"urn:soapserver/soap:AuthorizationModule\">"
                          "<Key>%2</Key><Anomynous>false</Anomynous>%3</m:%1Response></SOAP:Body></SOAP:Envelope>")
        .arg(operation, key, more);
}

class ServerMessages : public ::testing::Test {
protected:
    // A session whose first reply has been taken: the key is the digest of `first`.
    void connect(const QString& first = QStringLiteral("R0"))
    {
        session.NewClientGUID();
        ASSERT_EQ(ParseTavroResponse(session, methodResponse(member(QStringLiteral("key"), first))), first);
    }

    kelvane::test::ServerServices services;
    TavroSession session;
};

} // namespace

TEST_F(ServerMessages, XmlRpcRequestsAreBuiltByteForByte)
{
    connect();
    const QString guid = session.ClientGUID();
    const QString key = session.SessionKey();
    ASSERT_EQ(guid.size(), 44);

    EXPECT_EQ(BuildTavroConnect(session),
              "<?xml version=\"1.0\"?><methodCall><methodName>tavro.connect</methodName><params><param><value><struct>"
              "<member><name>GUID</name><value>" + guid + "</value></member></struct></value></param></params></methodCall>");
    EXPECT_EQ(BuildTavroLogon(session),
              "<?xml version=\"1.0\"?><methodCall><methodName>tavro.logon</methodName><params><param><value><struct>"
              "<member><name>key</name><value>" + key + "</value></member></struct></value></param></params></methodCall>");
    EXPECT_EQ(BuildTavroLogoff(session),
              "<?xml version=\"1.0\"?><methodCall><methodName>tavro.logoff</methodName><params><param><value><struct>"
              "<member><name>key</name><value>" + key + "</value></member></struct></value></param></params></methodCall>");
    EXPECT_EQ(BuildTavroRead(session, QString(), QStringLiteral("false")),
              "<?xml version=\"1.0\"?><methodCall><methodName>tavro.read</methodName><params><param>\r\n<value><struct>"
              "<member><name>guid</name><value></value></member><member><name>lock</name><value>false</value></member>"
              "<member><name>key</name><value>" + key + "</value></member></struct></value>\r\n</param></params></methodCall>");
    // The document is escaped once, "&" first; the other values too, so none can break the message.
    EXPECT_EQ(BuildTavroWrite(session, QStringLiteral("G1"), QStringLiteral("<a>x &lt; y & z</a>"), QStringLiteral("false"),
                              QStringLiteral("kb/<new>")),
              "<?xml version=\"1.0\"?><methodCall><methodName>tavro.write</methodName><params><param>\r\n<value><struct>"
              "<member>\r\n<name>guid</name><value>G1</value>\r\n</member>"
              "<member>\r\n<name>xml</name><value>&lt;a&gt;x &amp;lt; y &amp; z&lt;/a&gt;</value></member>"
              "<member>\r\n<name>path</name><value>kb/&lt;new&gt;</value></member>"
              "<member>\r\n<name>lock</name><value>false</value>\r\n</member>"
              "<member>\r\n<name>key</name><value>" + key + "</value>\r\n</member>"
              "</struct></value>\r\n</param></params></methodCall>");
}

TEST_F(ServerMessages, SoapRequestsAreBuiltByteForByte)
{
    const QString head = QStringLiteral("<SOAP:Envelope xmlns:SOAP=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP:Header></SOAP:Header>"
                                        "<SOAP:Body>");
    const QString tail = QStringLiteral("</SOAP:Body></SOAP:Envelope>");
    EXPECT_EQ(BuildSoapConnect(QStringLiteral("G")),
              head + "<m:Connect xmlns:m=\"urn:soapserver/soap:AuthorizationModule\"><GUID>G</GUID></m:Connect>" + tail);
    EXPECT_EQ(BuildSoapGetFileObject(QStringLiteral("K"), QStringLiteral("G"), QStringLiteral("False")),
              head + "<m:GetFileObject xmlns:m=\"urn:soapserver/soap:AuthorizationModule\"><Key>K</Key>"
                     "<FileObjectGUID>G</FileObjectGUID><Lock>False</Lock></m:GetFileObject>" + tail);

    // The document loses its declaration and document type but keeps the line ends after
    // them, and travels as markup; the caller gets the stripped text back.
    QString document = QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE kelvanedocument>\r\n"
                                      "<kelvanedocument><a q='&quote;'/></kelvanedocument>");
    const QString stripped = QStringLiteral("\r\n\r\n<kelvanedocument><a q='&quote;'/></kelvanedocument>");
    EXPECT_EQ(BuildSoapPutFileObject(QStringLiteral("K&1"), QStringLiteral("G"), document, QStringLiteral("False")),
              head + "<m:PutFileObject xmlns:m=\"urn:soapserver/soap:AuthorizationModule\"><Key>K&amp;1</Key>"
                     "<FileObjectGUID>G</FileObjectGUID><Lock>False</Lock><FileObject>" + stripped
                  + "</FileObject></m:PutFileObject>" + tail);
    EXPECT_EQ(document, stripped);
}

TEST_F(ServerMessages, SessionKeyRollsWithEveryAcceptedReplyAndHoldsOnAFailedOne)
{
    session.NewClientGUID();
    const QString first = QStringLiteral("FIRST\r\nKEY");
    // The first reply's key is taken unchecked (line breaks dropped) and is the result.
    EXPECT_EQ(ParseTavroResponse(session, methodResponse(member(QStringLiteral("key"), first))), QStringLiteral("FIRSTKEY"));
    EXPECT_EQ(session.SessionKey(), expectedKeyHash(session, QStringLiteral("FIRSTKEY")));

    for (int exchange = 0; exchange < 2; ++exchange) {
        const QString held = session.SessionKey();
        const QString replyKey = expectedKeyHash(session, held);
        const QString reply = methodResponse(member(QStringLiteral("Key"), replyKey) + member(QStringLiteral("keys"), QStringLiteral("x"))
                                             + member(QStringLiteral("xml"), QStringLiteral("payload %1").arg(exchange)));
        EXPECT_EQ(ParseTavroResponse(session, reply), QStringLiteral("payload %1").arg(exchange));
        EXPECT_EQ(session.SessionKey(), expectedKeyHash(session, replyKey));
    }

    // A wrong key: told once, no result, the key stays; the right key is still accepted after.
    const QString held = session.SessionKey();
    EXPECT_EQ(ParseTavroResponse(session, methodResponse(member(QStringLiteral("KEY"), QStringLiteral("WRONG"))
                                                         + member(QStringLiteral("xml"), QStringLiteral("p")))),
              QString());
    ASSERT_EQ(services.ui->messageBoxes.size(), 1u);
    EXPECT_EQ(services.ui->messageBoxes[0].text, kInvalidResponse);
    EXPECT_EQ(services.ui->messageBoxes[0].style, platform::msgbox::Critical);
    EXPECT_EQ(session.SessionKey(), held);
    EXPECT_EQ(ParseTavroResponse(session, methodResponse(member(QStringLiteral("key"), expectedKeyHash(session, held)))),
              QString());
    EXPECT_NE(session.SessionKey(), held);
}

TEST_F(ServerMessages, XmlRpcPayloadIsUnescapedOnce)
{
    connect();
    // The listing arrives escaped; an entity inside it survives as the listing's own.
    const QString reply = methodResponse(member(QStringLiteral("key"), expectedKeyHash(session, session.SessionKey()))
                                         + member(QStringLiteral("xml"), QStringLiteral("&lt;Name&gt;A &amp;amp; B&lt;/Name&gt;\r\nx\ny")));
    EXPECT_EQ(ParseTavroResponse(session, reply), QStringLiteral("<Name>A &amp; B</Name>\r\rx\ry"));
}

TEST_F(ServerMessages, SoapRepliesGiveTheirResultsAndRollTheKey)
{
    session.NewClientGUID();
    const auto next = [&] { return expectedKeyHash(session, session.SessionKey()); };

    // Connect: no result, but the key is taken and rolled.
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("Connect"), QStringLiteral("R0"), QString())), QString());
    EXPECT_EQ(session.SessionKey(), expectedKeyHash(session, QStringLiteral("R0")));
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("Logon"), next(), QStringLiteral("<LogonResult>Welcome &amp; hello</LogonResult>"))),
              QStringLiteral("Welcome & hello"));

    // A document comes back whole, as the reply holds it, its own "&quote;" included.
    const QString file = QStringLiteral("<File><kelvanenetwork>\r\n<question>Say &quote;hi&quote; &amp; &lt;go&gt;</question>\r\n</kelvanenetwork></File>");
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("GetFileObject"), next(), "<GetFileObjectResult>" + file + "</GetFileObjectResult>")),
              "<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE kelvanedocument>\r\n" + file);
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("GetFolderObject"), next(),
                                                      QStringLiteral("<GetFolderObjectResult><Folder><Name>A</Name></Folder></GetFolderObjectResult>"))),
              QStringLiteral("<Folder><Name>A</Name></Folder>"));
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("PutFileObject"), next(), QString())), QString());

    const QString held = session.SessionKey();
    EXPECT_EQ(ParseSoapResponse(session, QStringLiteral("not xml <at all")), QString());
    EXPECT_TRUE(services.ui->messageBoxes.empty());

    // A wrong key is told once and gives nothing.
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("PutFileObject"), QStringLiteral("BAD"), QString())), QString());
    EXPECT_EQ(services.ui->messageBoxes.size(), 1u);
    EXPECT_EQ(session.SessionKey(), held);
    // A response without its key is an error of the reply.
    EXPECT_EQ(kelvane::test::errorNumberOf([&] {
                  ParseSoapResponse(session, QStringLiteral("<SOAP:Envelope><SOAP:Body><m:LogonResponse><LogonResult>x</LogonResult>"
                                                            "</m:LogonResponse></SOAP:Body></SOAP:Envelope>"));
              }),
              kelvane::err::ObjectNotSet);
}

TEST_F(ServerMessages, SoapTextsAreReadWithoutTheWhiteSpaceAroundThem)
{
    session.NewClientGUID();
    const auto next = [&] { return expectedKeyHash(session, session.SessionKey()); };
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("Connect"), QStringLiteral("\r\n  R0 \t\r\n"), QString())), QString());
    EXPECT_EQ(session.SessionKey(), expectedKeyHash(session, QStringLiteral("R0")));
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("Logon"), QStringLiteral("\n") + next() + QStringLiteral("\n"),
                                                      QStringLiteral("<LogonResult>\r\n Welcome  back \r\n</LogonResult>"))),
              QStringLiteral("Welcome  back"));

    // Anonymous, written on lines of their own: the key is taken as it stands between the blanks.
    const QString anonymous = QStringLiteral("<?xml version=\"1.0\"?><SOAP:Envelope><SOAP:Body><m:PutFileObjectResponse>"
                                             "<Key>\r\n A  B \r\n</Key><Anomynous>\r\n True\r\n</Anomynous>"
                                             "</m:PutFileObjectResponse></SOAP:Body></SOAP:Envelope>");
    EXPECT_EQ(ParseSoapResponse(session, anonymous), QString());
    EXPECT_EQ(session.SessionKey(), QStringLiteral("A  B"));
    EXPECT_TRUE(services.ui->messageBoxes.empty());
}

TEST_F(ServerMessages, AKeyOutsideTheAnsiCodePageFailsItsExchangeAndLeavesTheSessionUsable)
{
    connect();
    const QString held = session.SessionKey();
    const QString foreign = QStringLiteral("KEY\u4E2D");
    // Anonymous (SOAP) and checked (XML-RPC, SOAP) replies alike.
    const QString anonymous = QStringLiteral("<SOAP:Envelope><SOAP:Body><m:PutFileObjectResponse><Key>%1</Key>"
                                             "<Anomynous>true</Anomynous></m:PutFileObjectResponse></SOAP:Body></SOAP:Envelope>").arg(foreign);
    EXPECT_EQ(ParseSoapResponse(session, anonymous), QString());
    EXPECT_EQ(ParseSoapResponse(session, soapResponse(QStringLiteral("PutFileObject"), foreign, QString())), QString());
    EXPECT_EQ(ParseTavroResponse(session, methodResponse(member(QStringLiteral("key"), foreign) + member(QStringLiteral("xml"), QStringLiteral("p")))),
              QString());
    ASSERT_EQ(services.ui->messageBoxes.size(), 3u);
    for (const auto& box : services.ui->messageBoxes)
        EXPECT_EQ(box.text, kInvalidResponse);
    EXPECT_EQ(session.SessionKey(), held);

    // The next proper reply is taken.
    EXPECT_EQ(ParseTavroResponse(session, methodResponse(member(QStringLiteral("key"), expectedKeyHash(session, held))
                                                         + member(QStringLiteral("xml"), QStringLiteral("p")))),
              QStringLiteral("p"));

    // A new session whose first key cannot be digested fails the same way, and one after it succeeds.
    session.NewClientGUID();
    EXPECT_EQ(ParseTavroResponse(session, methodResponse(member(QStringLiteral("key"), foreign))), QString());
    EXPECT_TRUE(session.SessionKey().isEmpty());
    EXPECT_EQ(ParseTavroResponse(session, methodResponse(member(QStringLiteral("key"), QStringLiteral("R0")))), QStringLiteral("R0"));
}

// However a reply is shaped, reading it looks at each of its characters a few times at most: a
// payload of ampersands that start no reference, and a folder listing nested far deeper than
// the browser shows (read down to the deepest folder it shows).
TEST_F(ServerMessages, RepliesAreReadInTimeLinearInTheirSize)
{
    using kelvane::server::replyelements::ScanMeter;
    constexpr qint64 kLooksPerCharacter = 16;
    connect();
    const QString ampersands(40000, u'&');
    {
        const ScanMeter meter;
        const QString reply = methodResponse(member(QStringLiteral("key"), expectedKeyHash(session, session.SessionKey()))
                                             + member(QStringLiteral("xml"), ampersands));
        EXPECT_EQ(ParseTavroResponse(session, reply), ampersands);
        EXPECT_LE(meter.Scanned(), kLooksPerCharacter * reply.size());
    }

    constexpr int kLevels = 3000;
    QString listing;
    for (int level = 1; level <= kLevels; ++level)
        listing += QStringLiteral("<Folder><Name>Level %1</Name><Folders>").arg(level);
    listing += QStringLiteral("<Folder><Name>Bottom</Name><Files><File><Name>Car</Name><GUID>01DD</GUID></File></Files></Folder>");
    for (int level = 1; level <= kLevels; ++level)
        listing += QStringLiteral("</Folders><Files><File><Name>At %1</Name><GUID>01AA</GUID></File></Files></Folder>").arg(kLevels + 1 - level);
    const ScanMeter meter;
    const kelvane::ServerFolder root = kelvane::ReadFolderListing(listing);
    EXPECT_LE(meter.Scanned(), kLooksPerCharacter * listing.size());
    int depth = 1;
    const kelvane::ServerFolder* deepest = &root;
    for (; !deepest->Folders.isEmpty(); deepest = &deepest->Folders.first())
        ++depth;
    EXPECT_EQ(depth, kelvane::kDeepestFolder);
    EXPECT_EQ(deepest->Name, QStringLiteral("Level %1").arg(kelvane::kDeepestFolder));
    ASSERT_EQ(deepest->Files.size(), 1);
    EXPECT_EQ(deepest->Files[0].Name, QStringLiteral("At %1").arg(kelvane::kDeepestFolder));
}
