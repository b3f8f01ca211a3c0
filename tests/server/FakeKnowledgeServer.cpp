#include "tests/server/FakeKnowledgeServer.h"

#include "tests/https/TestCertificates.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QJsonDocument>

namespace kelvane::test {

namespace {

const TestCertificates& certificates()
{
    static const TestCertificates made(serverFolder(QStringLiteral("certificates")));
    return made;
}

QString sourcePath(const QString& relative) { return QStringLiteral(KELVANE_SOURCE_DIR) + u'/' + relative; }

} // namespace

const QString FakeKnowledgeServer::kCarGUID = QStringLiteral("01DD8755DA5A6B857070E5A740E90A31BA8A40BB27E0");
const QString FakeKnowledgeServer::kQuotedGUID = QStringLiteral("01AA0000000000000000000000000000000000000001");

FakeKnowledgeServer::FakeKnowledgeServer(const QString& mode, const QString& listing,
                                         const std::optional<ServerIdentity>& identity, const QString& userName)
    : m_identity(identity.value_or(ServerIdentity {certificates().certificate(QStringLiteral("good")),
                                                   certificates().key(QStringLiteral("good")), certificates().authority()}))
    , m_port(freePort())
    , m_log(serverFolder(QStringLiteral("tavro")) + QStringLiteral("/requests.log"))
{
    const QStringList arguments {
        sourcePath(QStringLiteral("tests/server/fake_tavro_server.py")),
        QStringLiteral("--port"), QString::number(m_port),
        QStringLiteral("--mode"), mode,
        QStringLiteral("--cert"), m_identity.certificate,
        QStringLiteral("--key"), m_identity.key,
        QStringLiteral("--user"), userName,
        QStringLiteral("--listing"), dataPath(QStringLiteral("server/") + listing),
        QStringLiteral("--document"), kCarGUID + u'=' + sourcePath(QStringLiteral("examples/car-diagnosis.xml")),
        QStringLiteral("--document"), kQuotedGUID + u'=' + dataPath(QStringLiteral("server/quoted-font.xml")),
        QStringLiteral("--log"), m_log,
    };
    m_started = m_process.start(QStringLiteral("python3"), arguments, m_port);
}

QString FakeKnowledgeServer::url() const { return QStringLiteral("https://127.0.0.1:%1/tavro").arg(m_port); }

ServerEndpoint FakeKnowledgeServer::endpoint(bool trusted) const
{
    const QString address = url();
    return ServerEndpoint {[address] { return address; }, scratchFolder() + QStringLiteral("/tmp"),
                           trusted ? m_identity.authority : QString()};
}

QList<QJsonObject> FakeKnowledgeServer::requests() const
{
    QList<QJsonObject> entries;
    QFile file(m_log);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            entries.append(QJsonDocument::fromJson(line).object());
    }
    return entries;
}

QString FakeKnowledgeServer::refusingURL() { return QStringLiteral("https://127.0.0.1:%1/tavro").arg(freePort()); }

} // namespace kelvane::test
