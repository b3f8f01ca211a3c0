// Downloads a 100 MiB file from pyftpdlib on loopback through the FTP control and through
// curl, in passive binary mode, and prints the throughput of each and their ratio (the
// control's speed over curl's). Run it from a Release build.
#include "bench/BenchTiming.h"
#include "ftp/FTPCtrl.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr qint64 kFileBytes = qint64(100) << 20;
constexpr int kRounds = 3;

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

double mebibytesPerSecond(double seconds) { return double(kFileBytes) / (1 << 20) / seconds; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid() || !writeRandomFile(folder.filePath(QStringLiteral("big.bin")))) {
        std::fprintf(stderr, "cannot write the 100 MiB file\n");
        return 1;
    }
    QProcess server;
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KELVANE_SOURCE_DIR "/tests/ftp/pyftpd_peer.py"),
                                                      folder.path(), QStringLiteral("600")});
    if (!server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "pyftpdlib did not start (python3-pyftpdlib installed?)\n");
        return 1;
    }
    const quint16 port = static_cast<quint16>(server.readLine().trimmed().toUInt());
    const QString target = folder.filePath(QStringLiteral("copy.bin"));

    kelvane::ftp::CFTPCtrl ftp;
    ftp.setWinsockLoaded(true);
    ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
    ftp.setRemotePort(port);
    ftp.setUser(QStringLiteral("kelvane"));
    ftp.setPassword(QStringLiteral("secret"));
    ftp.setPassive(true);
    ftp.setTransferMode(kelvane::ftp::CFTPCtrl::tm_Binary);
    ftp.setRemoteFile(QStringLiteral("big.bin"));
    ftp.setLocalFile(target);
    ftp.setAction(kelvane::ftp::CFTPCtrl::a_Logon);
    const double control = kelvane::bench::bestSeconds(kRounds, [&] { ftp.setAction(kelvane::ftp::CFTPCtrl::a_Download); });
    const bool controlComplete = QFile(target).size() == kFileBytes;
    ftp.setAction(kelvane::ftp::CFTPCtrl::a_Logoff);

    const QStringList curlArguments {QStringLiteral("-s"), QStringLiteral("--user"), QStringLiteral("kelvane:secret"),
                                     QStringLiteral("-o"), target,
                                     QStringLiteral("ftp://127.0.0.1:%1/big.bin").arg(port)};
    const double curl = kelvane::bench::bestSeconds(kRounds, [&] {
        QProcess::execute(QStringLiteral("curl"), curlArguments);
    });
    const bool curlComplete = QFile(target).size() == kFileBytes;

    std::printf("FTP RETR of 100 MiB from pyftpdlib on loopback, best of %d\n", kRounds);
    std::printf("  control: %8.1f MiB/s%s\n", mebibytesPerSecond(control), controlComplete ? "" : "  (incomplete!)");
    std::printf("  curl:    %8.1f MiB/s%s\n", mebibytesPerSecond(curl), curlComplete ? "" : "  (incomplete!)");
    std::printf("  control / curl: %.2f\n", curl / control);
    server.kill();
    server.waitForFinished(3000);
    return controlComplete && curlComplete ? 0 : 1;
}
