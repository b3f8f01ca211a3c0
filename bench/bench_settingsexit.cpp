// The program's exit with the settings file of a normal run (about 1 KB) and with one of 92 MB
// (the server's trusted certificates grown to that size: random bytes in PEM blocks). Each exit
// runs in a process of its own with a fresh user folder holding that file: the program opens the
// sample, its window is restored from maximised (so that the placement is stored too), and the
// time from the window's close to the end of its shutdown is taken (the settings saved). With
// "--baseline <this benchmark of another build>" that build's exit runs in turn with this one's,
// rounds interleaved; medians, with the fastest and slowest, are printed with the load average.
// "--exit <document>" runs one exit and prints "exit <s>".
#include "app/ProgramServerLogon.h"
#include "app/ProgramServices.h"
#include "bench/BenchTiming.h"
#include "bench/ProgramProcess.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"
#include "shell/basMain.h"
#include "shell/basSettings.h"
#include "shell/frmNavigate.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace kelvane;

namespace {

constexpr int kRounds = 3;
constexpr int kChildLimitMs = 900 * 1000;
constexpr qsizetype kLargeBytes = 92 * 1000 * 1000;
const QString kSampleName = QStringLiteral("Car will not start");

int exitProgram(const QString& document)
{
    const ProgramServices services({});
    basMain::Program program = basMain::Main(document);
    if (program.mainWindow->Unloaded() || !program.mainWindow->DocumentReady)
        return 1;
    program.mainWindow->showNormal();
    QElapsedTimer elapsed;
    elapsed.start();
    const bool closed = program.mainWindow->close();
    const double seconds = elapsed.nsecsElapsed() / 1e9;
    if (!closed)
        return 1;
    std::printf("exit %.6f\n", seconds);
    return 0;
}

// PEM blocks of random bytes, about `bytes` long.
QString certificates(qsizetype bytes)
{
    QString text;
    text.reserve(bytes + 4096);
    QByteArray block(960, Qt::Uninitialized);
    while (text.size() < bytes) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        text += QStringLiteral("-----BEGIN CERTIFICATE-----\n");
        const QByteArray base64 = block.toBase64();
        for (qsizetype at = 0; at < base64.size(); at += 64)
            text += QString::fromLatin1(base64.mid(at, 64)) + u'\n';
        text += QStringLiteral("-----END CERTIFICATE-----\n");
    }
    return text;
}

// The settings a run leaves behind, in the config folder `config`; with `certificateBytes` of
// trusted certificates beside them.
void writeSettings(const QString& config, qsizetype certificateBytes)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    basGlobal::RecentFiles = {QStringLiteral("/home/user/kb/engine.qkb"), QStringLiteral("/home/user/kb/car.qks"), {}, {}};
    basGlobal::ServerURL = QStringLiteral("https://kb.example.org/server");
    basGlobal::SaveSettings();
    settingvalues::setIntroductionSuppressed(kSampleName, true);
    if (certificateBytes > 0)
        settingvalues::writeText(ProgramServerLogon::kTrustedCertificatesKey, certificates(certificateBytes));
}

bool copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString target = to + u'/' + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// One exit by `program` in a process of its own, in a fresh user folder holding `config`;
// a negative time when it failed.
double measureExit(const QString& program, const QString& config, const QString& document)
{
    QTemporaryDir home;
    if (!copyFolder(config, home.filePath(QStringLiteral("config"))))
        return -1;
    const QList<QByteArray> words =
        bench::runInUserFolder(program, {QStringLiteral("--exit"), document}, home.path(),
                               home.filePath(QStringLiteral("config")), kChildLimitMs)
            .split(' ');
    if (words.size() != 2)
        return -1;
    return words[1].toDouble();
}

void printFigures(const char* side, const char* size, std::vector<double> seconds)
{
    if (seconds.empty())
        return;
    std::sort(seconds.begin(), seconds.end());
    std::printf("%-9s exit with the %s settings file: median %.3f s (fastest %.3f, slowest %.3f, %zu runs); load %s\n",
                side, size, seconds[seconds.size() / 2], seconds.front(), seconds.back(), seconds.size(),
                qPrintable(bench::loadAverage()));
}

} // namespace

int main(int argc, char** argv)
{
    bench::ProgramApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--exit"))
        return exitProgram(arguments[2]);

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::map<QString, QString> sides {{QStringLiteral("this"), QCoreApplication::applicationFilePath()}};
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--baseline"))
        sides[QStringLiteral("baseline")] = arguments[2];

    QTemporaryDir folder;
    const QString document = folder.filePath(QStringLiteral("car-diagnosis.xml"));
    QFile::copy(QStringLiteral(KELVANE_SOURCE_DIR "/examples/car-diagnosis.xml"), document);
    const std::map<QString, qsizetype> sizes {{QStringLiteral("normal"), 0}, {QStringLiteral("92 MB"), kLargeBytes}};
    for (const auto& [size, bytes] : sizes)
        writeSettings(folder.filePath(size), bytes);

    std::map<std::pair<QString, QString>, std::vector<double>> figures;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        for (const auto& [size, bytes] : sizes) {
            for (const auto& [side, program] : sides) {
                const double seconds = measureExit(program, folder.filePath(size), document);
                if (seconds < 0) {
                    std::printf("%s, %s settings file: the exit failed\n", qPrintable(side), qPrintable(size));
                    ok = false;
                    continue;
                }
                figures[{side, size}].push_back(seconds);
            }
        }
    }
    for (const auto& [key, seconds] : figures)
        printFigures(qPrintable(key.first), qPrintable(key.second), seconds);
    return ok ? 0 : 1;
}
