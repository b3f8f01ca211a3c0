#pragma once

#include "tests/https/PeerProcess.h"
#include "tests/https/TestCertificates.h"

#include <QString>
#include <QStringList>

namespace kelvane::test {

// nginx on 127.0.0.1, in a folder of its own: plain HTTP on `port`, and HTTPS with the test
// certificates on more ports (good, wrong name, expired, untrusted, address only). Every
// request is logged, one line each: "request|host|authorization|cookie|user agent|content
// length|body|client certificate subject|proxy authorization".
//   /hello.txt              "hello world\n"
//   /redirect               302 to /hello.txt;  /to-https  301 to the good HTTPS server
//   /to-plain               302 to http://localhost/hello.txt?plain (the plain port)
//   /to-localhost           302 to http://localhost/hello.txt?localhost (the plain port)
//   /to-address             302 to https://127.0.0.1/hello.txt?address (the address-only port)
//   /to-named-address       302 to https://localhost/hello.txt?named (the address-only port)
//   /to-wrong               302 to https://localhost/hello.txt?wrong (the wrong-name port)
//   /to-other-port          302 to http://127.0.0.1/hello.txt?other-port (a second plain port)
//   /to-ftp                 302 to ftp://127.0.0.1/hello.txt
//   /private/secret.txt     behind Basic authentication ("kelvane" / "s3cret")
//   /cookie                 sets the cookie "session=42"
//   /upload/...             takes PUT
//   /post                   takes POST (the body is logged)
class NginxServer {
public:
    explicit NginxServer(const TestCertificates& certificates);

    bool start();
    quint16 port() const { return m_port; }
    quint16 tlsPort(const QString& certificate) const;
    QString folder() const { return m_folder; }
    QString url(const QString& path) const;
    QString secureUrl(const QString& certificate, const QString& path, const QString& host = QStringLiteral("localhost")) const;
    // The last request logged whose line begins with the text; waits a moment for nginx,
    // which may write its line after the client saw the connection close.
    QString request(const QString& beginning) const;
    // What nginx wrote to its error log and its output.
    QString log();

private:
    QString m_folder;
    quint16 m_port;
    quint16 m_otherPort; // plain HTTP too, for redirects to another port of the same host
    QStringList m_certificates {QStringLiteral("good"), QStringLiteral("wrong"), QStringLiteral("expired"),
                                QStringLiteral("untrusted"), QStringLiteral("address")};
    QList<quint16> m_tlsPorts;
    PeerProcess m_process;
};

} // namespace kelvane::test
