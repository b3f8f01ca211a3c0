#pragma once

#include "server/ServerEndpoint.h"
#include "tests/https/PeerProcess.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace kelvane::test {

// The certificate a test server presents (PEM, with the certificates a server sends after its
// own), its key, and the authority a client must trust for it.
struct ServerIdentity {
    QString certificate;
    QString key;
    QString authority;
};

// The knowledge server of tests/server/fake_tavro_server.py on 127.0.0.1, in one of its modes,
// with a certificate made for this test run and signed by the test authority (or another
// identity), for the user `userName` (whose name goes into the session key). It offers the
// sample car knowledge base and the quoted-font document under the GUIDs of the listings in
// tests/data/server, and logs every request it answers.
class FakeKnowledgeServer {
public:
    static const QString kCarGUID;
    static const QString kQuotedGUID;

    explicit FakeKnowledgeServer(const QString& mode = QStringLiteral("normal"),
                                 const QString& listing = QStringLiteral("listing.xml"),
                                 const std::optional<ServerIdentity>& identity = std::nullopt,
                                 const QString& userName = user());

    bool started() const { return m_started; }
    QString url() const;

    // Requests to this server with the temporary folder for the request file, trusting the
    // server's authority (or, with `trusted` false, the system's authorities only).
    ServerEndpoint endpoint(bool trusted = true) const;

    // The requests logged so far: "request" (method or operation), "key", "expected".
    QList<QJsonObject> requests() const;

    // An address on which nothing listens.
    static QString refusingURL();

    // The user name the server expects in the session key.
    static QString user() { return QStringLiteral("tester"); }

private:
    ServerIdentity m_identity;
    PeerProcess m_process;
    quint16 m_port = 0;
    QString m_log;
    bool m_started = false;
};

} // namespace kelvane::test
