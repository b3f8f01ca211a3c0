// 256 MiB of random bytes from nginx on 127.0.0.1, over http and over https, fetched into a
// local file by curl, by the HTTPS control's own engine and by its second transport, each of
// the two with a Transfer listener (as the program and any host uses the control: every block
// becomes text) and without one, in interleaved rounds. Each side is timed by its own clock:
// curl by the transfer time it reports itself (-w %{time_total}), the control around its call.
// Prints the median of each with the processor time it used, each side's speed as a share of
// curl's (1.00 = as fast as curl) and the load average beside the figures. Needs nginx,
// openssl and curl on the path. Measure in a Release build:
//     bench_https [rounds]   (default 7, at least 5)
#include "bench/BenchTiming.h"
#include "https/HTTPS.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using kelvane::bench::loadAverage;

namespace {

using kelvane::plexant::HTTPS;

constexpr qint64 kSize = 256 * 1024 * 1024;
constexpr int kLeastRounds = 5;

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

bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool ok = process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = process.readAllStandardOutput();
    return ok;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The processor time this process and its finished children (curl) have used, in seconds:
// a figure the other engineers' load disturbs far less than the time on the clock.
double processorSeconds()
{
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage {};
        getrusage(who, &usage);
        total += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One side's fetch into `copy`: the seconds it took by its own clock, or a negative number
// when it failed.
using Fetch = std::function<double(const QString& url, const QString& copy)>;

double curlFetch(const QString& certificate, const QString& url, const QString& copy)
{
    QByteArray seconds;
    if (!run(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("--http1.0"), QStringLiteral("--cacert"), certificate,
                                      QStringLiteral("-o"), copy, QStringLiteral("-w"), QStringLiteral("%{time_total}"), url},
             &seconds))
        return -1;
    return seconds.trimmed().toDouble();
}

double controlFetch(bool secondTransport, bool listener, const QString& url, const QString& copy)
{
    HTTPS control;
    if (listener) {
        // A listener that takes each block's text, as a host does.
        QObject::connect(&control, &HTTPS::Transfer, &control, [](qint16&, qint32&, QString& text) {
            volatile qsizetype length = text.size();
            (void)length;
        });
    }
    control.setLocalFile(copy);
    const auto start = std::chrono::steady_clock::now();
    try {
        if (secondTransport) {
            control.setUseWinInet(true);
            control.setURL(url);
            control.setAction(HTTPS::httpGet);
        } else {
            control.Get(url);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "control: %s\n", e.what());
        return -1;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = std::max(kLeastRounds, argc > 1 ? std::atoi(argv[1]) : 7);
    // In memory where the system has it, so no disk adds its noise to either side.
    QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/bench_https-XXXXXX")
                                                                   : QDir::tempPath() + QStringLiteral("/bench_https-XXXXXX"));
    const QString f = folder.path();
    const quint16 plainPort = freePort();
    const quint16 securePort = freePort();

    // A certificate for 127.0.0.1, trusted by the control through SSL_CERT_FILE and by curl through --cacert.
    const QString certificate = f + QStringLiteral("/cert.pem");
    if (!run(QStringLiteral("openssl"),
             {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
              QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:P-256"), QStringLiteral("-nodes"),
              QStringLiteral("-keyout"), f + QStringLiteral("/key.pem"), QStringLiteral("-out"), certificate,
              QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
              QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost")})) {
        std::fprintf(stderr, "openssl could not make a certificate\n");
        return 1;
    }
    qputenv("SSL_CERT_FILE", certificate.toLocal8Bit());

    // Random bytes, as compressed or encrypted files are: no pattern a text conversion or a
    // branch predictor could learn (the same bytes every run).
    QDir().mkpath(f + QStringLiteral("/www"));
    QRandomGenerator random(36);
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    QFile big(f + QStringLiteral("/www/big.bin"));
    if (!big.open(QIODevice::WriteOnly))
        return 1;
    for (qint64 written = 0; written < kSize; written += block.size()) {
        random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / qsizetype(sizeof(quint32)));
        big.write(block);
    }
    big.close();

    writeFile(f + QStringLiteral("/nginx.conf"),
              QStringLiteral("daemon off;\nmaster_process off;\nerror_log %1/error.log;\npid %1/nginx.pid;\n"
                             "events { worker_connections 16; }\n"
                             "http {\n    access_log off;\n    sendfile on;\n"
                             "    client_body_temp_path %1/body;\n    proxy_temp_path %1/proxy;\n    fastcgi_temp_path %1/fcgi;\n"
                             "    uwsgi_temp_path %1/uwsgi;\n    scgi_temp_path %1/scgi;\n"
                             "    server {\n        listen 127.0.0.1:%2;\n        root %1/www;\n    }\n"
                             "    server {\n        listen 127.0.0.1:%3 ssl;\n        root %1/www;\n"
                             "        ssl_certificate %1/cert.pem;\n        ssl_certificate_key %1/key.pem;\n    }\n}\n")
                  .arg(f)
                  .arg(plainPort)
                  .arg(securePort)
                  .toUtf8());
    QProcess nginx;
    nginx.start(QStringLiteral("nginx"), {QStringLiteral("-p"), f, QStringLiteral("-c"), f + QStringLiteral("/nginx.conf"),
                                          QStringLiteral("-e"), f + QStringLiteral("/error.log")});
    if (!nginx.waitForStarted(5000)) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    QThread::msleep(300);

    const std::vector<std::pair<const char*, Fetch>> sides {
        {"curl", [&](const QString& url, const QString& copy) { return curlFetch(certificate, url, copy); }},
        {"own engine, listener", [](const QString& url, const QString& copy) { return controlFetch(false, true, url, copy); }},
        {"own engine", [](const QString& url, const QString& copy) { return controlFetch(false, false, url, copy); }},
        {"second, listener", [](const QString& url, const QString& copy) { return controlFetch(true, true, url, copy); }},
        {"second transport", [](const QString& url, const QString& copy) { return controlFetch(true, false, url, copy); }},
    };
    const std::vector<std::pair<const char*, QString>> schemes {
        {"http", QStringLiteral("http://127.0.0.1:%1/big.bin").arg(plainPort)},
        {"https", QStringLiteral("https://127.0.0.1:%1/big.bin").arg(securePort)},
    };

    std::printf("256 MiB from nginx on loopback, %d interleaved rounds; load average before: %s\n", rounds,
                qPrintable(loadAverage()));
    std::map<std::pair<int, int>, std::vector<double>> seconds;   // (scheme, side) -> times
    std::map<std::pair<int, int>, std::vector<double>> processor; // (scheme, side) -> processor times
    bool ok = true;
    const QString copy = f + QStringLiteral("/copy.bin");
    for (int round = 0; round < rounds; ++round) {
        for (size_t scheme = 0; scheme < schemes.size(); ++scheme) {
            // Each round starts with another side, so none always runs first.
            for (size_t turn = 0; turn < sides.size(); ++turn) {
                const size_t side = (turn + size_t(round)) % sides.size();
                QFile::remove(copy);
                const double processorBefore = processorSeconds();
                const double taken = sides[side].second(schemes[scheme].second, copy);
                const double processorTaken = processorSeconds() - processorBefore;
                const bool whole = taken > 0 && QFileInfo(copy).size() == kSize;
                if (!whole) {
                    std::fprintf(stderr, "%s over %s failed\n", sides[side].first, schemes[scheme].first);
                    ok = false;
                    continue;
                }
                seconds[{int(scheme), int(side)}].push_back(taken);
                processor[{int(scheme), int(side)}].push_back(processorTaken);
            }
        }
    }
    nginx.terminate();
    nginx.waitForFinished(3000);

    const double mebibytes = double(kSize) / (1024 * 1024);
    std::map<std::pair<size_t, size_t>, double> shares; // (side, scheme) -> speed / curl's
    for (size_t scheme = 0; scheme < schemes.size(); ++scheme) {
        const auto& curlTimes = seconds[{int(scheme), 0}];
        const double curl = curlTimes.empty() ? 0 : median(curlTimes);
        std::printf("%s:\n", schemes[scheme].first);
        for (size_t side = 0; side < sides.size(); ++side) {
            const auto& times = seconds[{int(scheme), int(side)}];
            if (times.empty())
                continue;
            const double taken = median(times);
            const auto [fastest, slowest] = std::minmax_element(times.begin(), times.end());
            std::printf("  %-21s median %.3f s (%4.0f MiB/s), range %.3f-%.3f s, processor %.3f s", sides[side].first, taken,
                        mebibytes / taken, *fastest, *slowest, median(processor[{int(scheme), int(side)}]));
            if (side != 0 && curl > 0) {
                shares[{side, scheme}] = curl / taken;
                std::printf(", speed / curl's: %.2f", curl / taken);
            }
            std::printf("\n");
        }
    }
    std::printf("\nspeed / curl's (medians)   http  https\n");
    for (size_t side = 1; side < sides.size(); ++side) {
        std::printf("  %-23s", sides[side].first);
        for (size_t scheme = 0; scheme < schemes.size(); ++scheme) {
            const auto share = shares.find({side, scheme});
            if (share == shares.end())
                std::printf("     -");
            else
                std::printf(" %5.2f", share->second);
        }
        std::printf("\n");
    }
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    return ok ? 0 : 1;
}
