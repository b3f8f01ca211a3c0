// Downloads a 512 MiB file on loopback through the FTP control and through curl, from
// pyftpdlib and from vsftpd, in passive and in active mode. Each round runs every pairing once,
// the two clients in turn (which goes first alternates), so both see the same machine; each is
// timed by its own clock over the same work, from the connection to the last byte on disk:
// the control by a clock around its log-on and download, curl by its own transfer time
// (-w %{time_total}), never by its process start-up. Prints the medians of each pairing and the
// median of the per-round ratios (curl's time over the control's: the control's speed as a
// share of curl's). Run it from a Release build:
//   bench_ftpretr [rounds] [--overwrite]      (default 7, at least 5)
// Each download makes a new file; with --overwrite both clients write over the 512 MiB file
// the last download left.
#include "bench/BenchTiming.h"
#include "ftp/FTPCtrl.h"
#include "tests/ftp/FtpServerProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <vector>

using kelvane::bench::loadAverage;

namespace {

using kelvane::ftp::CFTPCtrl;
using kelvane::test::FtpServerProcess;

constexpr qint64 kFileBytes = qint64(512) << 20;
constexpr int kDefaultRounds = 7;
constexpr int kLeastRounds = 5;

bool writeRandomFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (qint64 written = 0; written < kFileBytes; written += block.size()) {
        generator.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double mebibytesPerSecond(double seconds) { return double(kFileBytes) / (1 << 20) / seconds; }

struct Pairing {
    Pairing(FtpServerProcess* serving, bool passiveMode) : server(serving), passive(passiveMode) {}

    FtpServerProcess* server;
    bool passive;
    std::vector<double> control;
    std::vector<double> curl;
    std::vector<double> ratios;
    bool complete = true;
};

const char* serverName(const FtpServerProcess& server)
{
    return server.kind() == FtpServerProcess::Kind::Pyftpdlib ? "pyftpdlib" : "vsftpd";
}

// Seconds from the connection to the whole file on disk; negative when it failed.
double controlRun(const Pairing& pairing, const QString& target)
{
    CFTPCtrl ftp;
    ftp.setWinsockLoaded(true);
    ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
    ftp.setRemotePort(pairing.server->port());
    ftp.setUser(pairing.server->user());
    ftp.setPassword(pairing.server->password());
    ftp.setPassive(pairing.passive);
    ftp.setTransferMode(CFTPCtrl::tm_Binary);
    ftp.setRemoteFile(QStringLiteral("big.bin"));
    ftp.setLocalFile(target);
    const auto start = std::chrono::steady_clock::now();
    if (ftp.SetAction(CFTPCtrl::a_Logon) != 0 || ftp.SetAction(CFTPCtrl::a_Download) != 0)
        return -1;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ftp.SetAction(CFTPCtrl::a_Logoff);
    return elapsed.count();
}

// curl's own transfer time for the same download; negative when it failed.
double curlRun(const Pairing& pairing, const QString& target)
{
    // PASV and PORT, as the control uses, not their extended forms.
    QStringList arguments {QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("--disable-epsv"),
                           QStringLiteral("-o"), target, QStringLiteral("-w"), QStringLiteral("%{time_total}")};
    if (!pairing.passive)
        arguments << QStringLiteral("-P") << QStringLiteral("127.0.0.1") << QStringLiteral("--disable-eprt");
    arguments << QStringLiteral("--user")
              << pairing.server->user() + u':' + pairing.server->password()
              << QStringLiteral("ftp://127.0.0.1:%1/big.bin").arg(pairing.server->port());
    QProcess curl;
    curl.start(QStringLiteral("curl"), arguments);
    if (!curl.waitForFinished(600000) || curl.exitStatus() != QProcess::NormalExit || curl.exitCode() != 0)
        return -1;
    bool ok = false;
    const double seconds = curl.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? seconds : -1;
}

bool fetchedWhole(const QString& target) { return QFile(target).size() == kFileBytes; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const bool overwrite = arguments.contains(QStringLiteral("--overwrite"));
    const QStringList counts = arguments.filter(QRegularExpression(QStringLiteral("^\\d+$")));
    const int rounds = counts.isEmpty() ? kDefaultRounds : std::max(kLeastRounds, counts.first().toInt());
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("big.bin"));
    if (!folder.isValid() || !writeRandomFile(source)) {
        std::fprintf(stderr, "cannot write the 512 MiB file\n");
        return 1;
    }
    FtpServerProcess pyftpdlib(FtpServerProcess::Kind::Pyftpdlib, folder.path());
    FtpServerProcess vsftpd(FtpServerProcess::Kind::Vsftpd, folder.path());
    for (const FtpServerProcess* server : {&pyftpdlib, &vsftpd}) {
        // One file on disk, served by both.
        const QByteArray link = QFile::encodeName(server->root() + QStringLiteral("/big.bin"));
        if (!server->failure().isEmpty() || ::link(QFile::encodeName(source).constData(), link.constData()) != 0) {
            std::fprintf(stderr, "%s: %s\n", serverName(*server), qPrintable(server->failure()));
            return 1;
        }
    }
    std::vector<Pairing> pairings {{&pyftpdlib, true}, {&pyftpdlib, false}, {&vsftpd, true}, {&vsftpd, false}};
    const QString target = folder.filePath(QStringLiteral("copy.bin"));
    if (overwrite && !QFile::copy(source, target)) {
        std::fprintf(stderr, "cannot write the file to overwrite\n");
        return 1;
    }
    const QString loadBefore = loadAverage();
    for (int round = 0; round < rounds; ++round) {
        for (Pairing& pairing : pairings) {
            double control = 0;
            double curl = 0;
            for (int turn = 0; turn < 2; ++turn) {
                if (!overwrite)
                    QFile::remove(target);
                if ((turn == 0) == (round % 2 == 0)) {
                    control = controlRun(pairing, target);
                    pairing.complete = pairing.complete && control > 0 && fetchedWhole(target);
                } else {
                    curl = curlRun(pairing, target);
                    pairing.complete = pairing.complete && curl > 0 && fetchedWhole(target);
                }
            }
            pairing.control.push_back(control);
            pairing.curl.push_back(curl);
            pairing.ratios.push_back(curl / control);
        }
        std::fprintf(stderr, "round %d of %d done\n", round + 1, rounds);
    }
    QFile::remove(target);

    std::printf("FTP download of 512 MiB on loopback%s, %d interleaved rounds, medians (load average %s before, %s after)\n",
                overwrite ? " over an existing file" : " into a new file", rounds, qPrintable(loadBefore),
                qPrintable(loadAverage()));
    std::printf("  %-10s %-8s %16s %16s %14s\n", "server", "mode", "control MiB/s", "curl MiB/s", "control/curl");
    bool allComplete = true;
    for (const Pairing& pairing : pairings) {
        std::printf("  %-10s %-8s %16.1f %16.1f %14.2f%s\n", serverName(*pairing.server),
                    pairing.passive ? "passive" : "active", mebibytesPerSecond(median(pairing.control)),
                    mebibytesPerSecond(median(pairing.curl)), median(pairing.ratios),
                    pairing.complete ? "" : "  (a download failed!)");
        allComplete = allComplete && pairing.complete;
    }
    return allComplete ? 0 : 1;
}
