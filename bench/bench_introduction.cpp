// The program's start-up with a knowledge base on its command line, up to its introduction on
// the screen (shown and painted), for knowledge bases whose description is a nest of 30,000 and
// of 1,000,000 "<a>" tags (the second about 7 million characters). The start-up runs as the
// program's own does (its services, its main window's load, the splash and the one-second wait
// the load makes, the introduction), each open in a process of its own with a fresh user folder,
// rounds interleaved, medians taken. Printed with each figure: its parts (the document opened and
// set up, the load's wait for the splash, between one and two seconds by the clock, and the
// introduction made and painted) and the load average. Other depths of the nest may be given as
// arguments. "--open <file>" runs one start-up and prints "shown <s> wait <s> opened <s>".
#include "app/ProgramServerLogon.h"
#include "automation/AutomationHost.h"
#include "bench/ProgramProcess.h"
#include "forms/PasswordPromptUiServices.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/SystemInfo.h"
#include "platform/gui/QtFileDialogs.h"
#include "platform/gui/QtUiServices.h"
#include "shell/ProgramFolder.h"
#include "shell/basMain.h"
#include "shell/frmIntroduction.h"
#include "shell/frmNavigate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace kelvane;

namespace {

constexpr int kRounds = 3;
constexpr int kChildLimitMs = 180 * 1000;

// The system clock, remembering the first time the program read it: the load's wait for the
// splash starts there, once the document is open and set up.
class RememberingClock : public platform::SystemClock {
public:
    QDateTime localNow() override
    {
        QDateTime now = SystemClock::localNow();
        if (!first.isValid()) {
            first = now;
            firstAt = elapsed ? elapsed->nsecsElapsed() / 1e9 : 0;
        }
        return now;
    }
    const QElapsedTimer* elapsed = nullptr;
    QDateTime first;
    double firstAt = 0;
};

int openProgram(const QString& path)
{
    platform::Service<platform::SystemInfo>::replace(std::make_unique<ProgramSystemInfo>(
        LocateProgramFolder({}, QCoreApplication::applicationDirPath())));
    platform::Service<platform::UiServices>::replace(
        std::make_unique<PasswordPromptUiServices>(std::make_unique<platform::gui::QtUiServices>()));
    platform::Service<platform::FileDialogs>::replace(std::make_unique<platform::gui::QtFileDialogs>());
    platform::ScopedService<AbstractServerLogon, ProgramServerLogon> logon;
    platform::ScopedService<platform::Clock, RememberingClock> clock;
    const AutomationInstallation automation;

    QElapsedTimer elapsed;
    clock->elapsed = &elapsed;
    double shown = -1;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* introduction = dynamic_cast<frmIntroduction*>(QApplication::activeModalWidget());
        if (!introduction || !introduction->isVisible())
            return;
        introduction->grab(); // painted whole, as the screen shows it
        shown = elapsed.nsecsElapsed() / 1e9;
        watch.stop();
        introduction->close();
    });
    watch.start();
    elapsed.start();
    basMain::Program program = basMain::Main(path);
    if (shown < 0 || !clock->first.isValid())
        return 1;
    const double wait = (2000 - clock->first.time().msec()) / 1000.0;
    std::printf("shown %.6f wait %.6f opened %.6f\n", shown, wait, clock->firstAt);
    return 0;
}

// A copy of the sample knowledge base whose description is `levels` nested "<a>" tags.
bool writeNestedDescription(const QString& sample, const QString& path, int levels)
{
    QFile in(sample);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QByteArray document = in.readAll();
    const QByteArray start = "<string>";
    const qsizetype from = document.indexOf(start, document.indexOf("<networkdescription>"));
    const qsizetype to = document.indexOf("</string>", from);
    if (from < 0 || to < 0)
        return false;
    const QByteArray nest = QByteArray("&lt;a&gt;").repeated(levels) + QByteArray("&lt;/a&gt;").repeated(levels);
    document.replace(from + start.size(), to - from - start.size(), nest);
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(document) == document.size();
}

struct Figures {
    std::vector<double> shown, wait, opened, introduction;
};

// One start-up in a process of its own, in a fresh user folder; false when it failed or did
// not show its introduction within the limit.
bool measureOpen(const QString& path, Figures& figures)
{
    const QList<QByteArray> words = bench::runInFreshUserFolder({QStringLiteral("--open"), path}, kChildLimitMs).split(' ');
    if (words.size() != 6)
        return false;
    figures.shown.push_back(words[1].toDouble());
    figures.wait.push_back(words[3].toDouble());
    figures.opened.push_back(words[5].toDouble());
    figures.introduction.push_back(figures.shown.back() - figures.opened.back() - figures.wait.back());
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

} // namespace

int main(int argc, char** argv)
{
    bench::ProgramApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--open"))
        return openProgram(arguments[2]);

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir folder;
    const QString sample = QStringLiteral(KELVANE_SOURCE_DIR "/examples/car-diagnosis.xml");
    std::map<int, QString> documents;
    std::map<int, Figures> figures;
    std::vector<int> nests {30000, 1000000};
    if (arguments.size() > 1) {
        nests.clear();
        for (qsizetype i = 1; i < arguments.size(); ++i)
            nests.push_back(arguments[i].toInt());
    }
    for (const int levels : nests) {
        documents[levels] = folder.filePath(QStringLiteral("nested-%1.xml").arg(levels));
        if (!writeNestedDescription(sample, documents[levels], levels)) {
            std::fprintf(stderr, "writing %d levels failed\n", levels);
            return 1;
        }
    }
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        for (const auto& [levels, path] : documents) {
            if (!measureOpen(path, figures[levels])) {
                std::printf("%d levels: no introduction within %d s\n", levels, kChildLimitMs / 1000);
                ok = false;
            }
        }
    }
    for (const auto& [levels, measured] : figures) {
        if (measured.shown.empty())
            continue;
        std::printf("description of %7d nested tags: introduction shown after %.3f s: document open and set "
                    "up %.3f s, the splash wait %.3f s, the introduction %.3f s; load average %s\n",
                    levels, median(measured.shown), median(measured.opened), median(measured.wait),
                    median(measured.introduction), loadAverage().constData());
    }
    return ok ? 0 : 1;
}
