#include "tests/https/NginxServer.h"

#include <QDir>
#include <QFile>
#include <QThread>

namespace kelvane::test {

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

} // namespace

NginxServer::NginxServer(const TestCertificates& certificates)
    : m_folder(serverFolder(QStringLiteral("nginx")))
    , m_port(freePort())
    , m_otherPort(freePort())
{
    for (qsizetype i = 0; i < m_certificates.size(); ++i)
        m_tlsPorts.append(freePort());
    const QString f = m_folder;
    writeFile(f + QStringLiteral("/www/hello.txt"), "hello world\n");
    writeFile(f + QStringLiteral("/www/private/secret.txt"), "the secret\n");
    writeFile(f + QStringLiteral("/htpasswd"), "kelvane:{PLAIN}s3cret\n");
    QDir().mkpath(f + QStringLiteral("/www/upload"));

    QString servers;
    const QString common = QStringLiteral(
        "        root %1/www;\n"
        "        location = /redirect { return 302 /hello.txt; }\n"
        "        location = /to-https { return 301 https://localhost:%2/hello.txt; }\n"
        "        location /private/ { auth_basic \"Kelvane\"; auth_basic_user_file %1/htpasswd; }\n"
        "        location = /cookie { add_header Set-Cookie \"session=42; Path=/; Secure\"; return 200 \"cookie\\n\"; }\n"
        "        location /upload/ { dav_methods PUT; create_full_put_path on; }\n"
        "        location = /post { proxy_pass http://127.0.0.1:%3/echo; }\n"
        "        location = /echo { access_log off; return 200 \"posted\\n\"; }\n"
        "        location = /to-plain { return 302 http://localhost:%3/hello.txt?plain; }\n"
        "        location = /to-localhost { return 302 http://localhost:%3/hello.txt?localhost; }\n"
        "        location = /to-address { return 302 https://127.0.0.1:%4/hello.txt?address; }\n"
        "        location = /to-named-address { return 302 https://localhost:%4/hello.txt?named; }\n"
        "        location = /to-wrong { return 302 https://localhost:%5/hello.txt?wrong; }\n"
        "        location = /to-other-port { return 302 http://127.0.0.1:%6/hello.txt?other-port; }\n"
        "        location = /to-ftp { return 302 ftp://127.0.0.1:%3/hello.txt; }\n")
                               .arg(f)
                               .arg(m_tlsPorts.first())
                               .arg(m_port)
                               .arg(tlsPort(QStringLiteral("address")))
                               .arg(tlsPort(QStringLiteral("wrong")))
                               .arg(m_otherPort);
    servers += QStringLiteral("    server {\n        listen 127.0.0.1:%1;\n        listen 127.0.0.1:%2;\n%3    }\n")
                   .arg(m_port)
                   .arg(m_otherPort)
                   .arg(common);
    for (qsizetype i = 0; i < m_certificates.size(); ++i) {
        servers += QStringLiteral("    server {\n        listen 127.0.0.1:%1 ssl;\n"
                                  "        ssl_certificate %2;\n        ssl_certificate_key %3;\n"
                                  "        ssl_client_certificate %4;\n        ssl_verify_client optional;\n%5    }\n")
                       .arg(m_tlsPorts.at(i))
                       .arg(certificates.certificate(m_certificates.at(i)), certificates.key(m_certificates.at(i)),
                            certificates.authority(), common);
    }
    const QString config = QStringLiteral(
        "daemon off;\nmaster_process off;\nerror_log %1/error.log;\npid %1/nginx.pid;\n"
        "events { worker_connections 64; }\n"
        "http {\n"
        "    types { text/plain txt; application/octet-stream bin; }\n    ssl_protocols TLSv1.2 TLSv1.3;\n"
        "    default_type application/octet-stream;\n"
        "    log_format requests '$request|$http_host|$http_authorization|$http_cookie|$http_user_agent|"
        "$content_length|$request_body|$ssl_client_s_dn|$http_proxy_authorization';\n"
        "    access_log %1/access.log requests;\n"
        "    client_body_temp_path %1/body;\n    proxy_temp_path %1/proxy;\n    fastcgi_temp_path %1/fastcgi;\n"
        "    uwsgi_temp_path %1/uwsgi;\n    scgi_temp_path %1/scgi;\n"
        "%2}\n")
                               .arg(f, servers);
    writeFile(f + QStringLiteral("/nginx.conf"), config.toUtf8());
}

bool NginxServer::start()
{
    if (!m_process.start(QStringLiteral("nginx"),
                         {QStringLiteral("-p"), m_folder, QStringLiteral("-c"), m_folder + QStringLiteral("/nginx.conf"),
                          QStringLiteral("-e"), m_folder + QStringLiteral("/error.log")},
                         m_port))
        return false;
    for (const quint16 port : m_tlsPorts) {
        if (!portAccepts(port))
            return false;
    }
    return true;
}

quint16 NginxServer::tlsPort(const QString& certificate) const
{
    return m_tlsPorts.value(m_certificates.indexOf(certificate));
}

QString NginxServer::url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path); }

QString NginxServer::secureUrl(const QString& certificate, const QString& path, const QString& host) const
{
    return QStringLiteral("https://%1:%2%3").arg(host).arg(tlsPort(certificate)).arg(path);
}

QString NginxServer::log()
{
    QFile file(m_folder + QStringLiteral("/error.log"));
    const QString errors = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    return errors + m_process.log();
}

QString NginxServer::request(const QString& beginning) const
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        QFile file(m_folder + QStringLiteral("/access.log"));
        if (file.open(QIODevice::ReadOnly)) {
            const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
                if (line->startsWith(beginning))
                    return *line;
            }
        }
        QThread::msleep(20);
    }
    return {};
}

} // namespace kelvane::test
