// 100 MB over HTTPS from nginx on 127.0.0.1, fetched by the HTTPS control (into a local file)
// and by curl, in the same run; prints both times and the control's speed as a share of curl's.
// Needs nginx, openssl and curl on the path. Measure in a Release build.
#include "bench/BenchTiming.h"
#include "https/HTTPS.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qint64 kSize = 100 * 1024 * 1024;
constexpr int kRounds = 3;

quint16 freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString f = folder.path();
    const quint16 port = freePort();

    // A certificate for localhost, trusted by the control through SSL_CERT_FILE.
    if (!run(QStringLiteral("openssl"),
             {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
              QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:P-256"), QStringLiteral("-nodes"),
              QStringLiteral("-keyout"), f + QStringLiteral("/key.pem"), QStringLiteral("-out"), f + QStringLiteral("/cert.pem"),
              QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=localhost"),
              QStringLiteral("-addext"), QStringLiteral("subjectAltName=DNS:localhost")})) {
        std::fprintf(stderr, "openssl could not make a certificate\n");
        return 1;
    }
    qputenv("SSL_CERT_FILE", (f + QStringLiteral("/cert.pem")).toLocal8Bit());

    QDir().mkpath(f + QStringLiteral("/www"));
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < block.size(); ++i)
        block[i] = char((i * 7919) & 0xFF);
    QFile big(f + QStringLiteral("/www/big.bin"));
    if (!big.open(QIODevice::WriteOnly))
        return 1;
    for (qint64 written = 0; written < kSize; written += block.size())
        big.write(block);
    big.close();

    writeFile(f + QStringLiteral("/nginx.conf"),
              QStringLiteral("daemon off;\nmaster_process off;\nerror_log %1/error.log;\npid %1/nginx.pid;\n"
                             "events { worker_connections 16; }\n"
                             "http {\n    access_log off;\n    sendfile on;\n"
                             "    client_body_temp_path %1/body;\n    proxy_temp_path %1/proxy;\n    fastcgi_temp_path %1/fcgi;\n"
                             "    uwsgi_temp_path %1/uwsgi;\n    scgi_temp_path %1/scgi;\n"
                             "    server {\n        listen 127.0.0.1:%2 ssl;\n        root %1/www;\n"
                             "        ssl_certificate %1/cert.pem;\n        ssl_certificate_key %1/key.pem;\n    }\n}\n")
                  .arg(f)
                  .arg(port)
                  .toUtf8());
    QProcess nginx;
    nginx.start(QStringLiteral("nginx"), {QStringLiteral("-p"), f, QStringLiteral("-c"), f + QStringLiteral("/nginx.conf"),
                                          QStringLiteral("-e"), f + QStringLiteral("/error.log")});
    if (!nginx.waitForStarted(5000)) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    QThread::msleep(300);

    const QString url = QStringLiteral("https://localhost:%1/big.bin").arg(port);
    const QString copy = f + QStringLiteral("/copy.bin");
    bool controlOk = true;
    const double control = kelvane::bench::bestSeconds(kRounds, [&] {
        kelvane::plexant::HTTPS https;
        https.setLocalFile(copy);
        try {
            https.Get(url);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "control: %s\n", e.what());
            controlOk = false;
        }
    });
    controlOk = controlOk && QFileInfo(copy).size() == kSize;
    bool curlOk = true;
    const double curl = kelvane::bench::bestSeconds(kRounds, [&] {
        curlOk = curlOk
            && run(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("--http1.0"), QStringLiteral("--cacert"),
                                            f + QStringLiteral("/cert.pem"), QStringLiteral("-o"), copy, url});
    });
    nginx.terminate();
    nginx.waitForFinished(3000);

    const double megabytes = double(kSize) / (1024 * 1024);
    std::printf("control: %.3f s (%.0f MB/s)%s\n", control, megabytes / control, controlOk ? "" : " FAILED");
    std::printf("curl:    %.3f s (%.0f MB/s)%s\n", curl, megabytes / curl, curlOk ? "" : " FAILED");
    std::printf("control speed / curl speed: %.2f\n", curl / control);
    return controlOk && curlOk ? 0 : 1;
}
