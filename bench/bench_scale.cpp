// The cost of the work that grows with a knowledge base, each figure printed with its limit:
//  - one answer with automatic answering in a network of two nodes a layer, each linked to
//    both nodes below (every path to the top doubles with each layer): at 10 and 20 layers,
//    the ratio of the times stays near 2 when the cost grows with the nodes, not the paths;
//  - one answer in 8 layers of 50 nodes with 3 links each: under 1 ms;
//  - a chain of 30,000 nodes laid out from one layer by Structure, its degrees of truth
//    recomputed; and the same chain recomputed while all of it is still in one layer;
//  - opening XML documents of 10,000, 100,000 and 200,000 nodes (10 layers, 3 links a node)
//    in a shown diagram control, the memory the open holds, and closing it again (destroying
//    the control);
//  - opening a document whose one node has a name of 50 MB;
//  - saving networks of 100,000 and 200,000 nodes as XML documents (the saving grows with the
//    nodes: the ratio of the times stays near 2).
// Every open runs in a process of its own (this program started again with "--open"), so
// that its memory is its own; rounds of the sizes are interleaved and the median is taken.
// Run it from a Release build. For profiling, "--documents <folder>" only writes the documents
// and "--open <file> <nodes>" opens and closes one of them; "--save <folder> <nodes>" saves a
// network of that size there and prints the time.
#include "bench/BenchTiming.h"
#include "bench/ScaleDocuments.h"
#include "diagram/ctlPelnet.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "network/NetworkRecompute.h"
#include "network/clsNetwork.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <map>
#include <vector>

using namespace kelvane;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The time of one answer at the bottom, with automatic answering on.
double answerTime(int layers, int width, int links)
{
    const auto network = bench::layeredNetwork(layers, width, links);
    const auto bottom = network->Layers().Item(1)->Nodes().Item(1);
    bool yes = true;
    return bench::bestSeconds(5, [&] {
        bottom->setAnswer(yes ? 1.0 : 0.0);
        yes = !yes;
    });
}

struct ChainTimes {
    double structure = 0;
    double recomputeStructured = 0;
    double recomputeOneLayer = 0;
    qsizetype layers = 0;
};

ChainTimes chainTimes(int length)
{
    ChainTimes times;
    times.structure = 1e30;
    times.recomputeOneLayer = 1e30;
    for (int round = 0; round < 3; ++round) {
        const auto chain = bench::chainInOneLayer(length);
        times.recomputeOneLayer = std::min(times.recomputeOneLayer, bench::bestSeconds(1, [&] { RecomputeDegreesOfTruth(*chain); }));
        const auto started = Clock::now();
        chain->Structure();
        times.structure = std::min(times.structure, secondsSince(started));
        times.layers = chain->Layers().Count();
        times.recomputeStructured = bench::bestSeconds(3, [&] { RecomputeDegreesOfTruth(*chain); });
    }
    return times;
}

// The best of three saves of a network of `nodeCount` nodes (10 layers, three links a node).
double saveTime(const QString& folder, int nodeCount)
{
    const auto network = bench::layeredNetwork(10, nodeCount / 10, 3);
    const QString path = folder + QStringLiteral("/save-%1.xml").arg(nodeCount);
    bool saved = true;
    const double seconds = bench::bestSeconds(3, [&] { saved = bench::saveDocument(*network, path) && saved; });
    return saved ? seconds : 1e30;
}

// A figure of this process's memory from /proc/self/status, in bytes ("VmRSS", "VmHWM").
qint64 memoryFigure(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// The child's part: opens the document in a shown control (with the events the open leaves
// behind), then destroys the control (with the deletions it leaves behind). Prints
// "open <s> resident <bytes> peak <bytes> close <s> user <s> system <s> pages <n>" (the
// processor time and the pages of the open).
// Loads what the first drawing of a process loads (fonts, glyph caches), so that the open is
// timed alone.
void warmUp()
{
    ctlPelnet control;
    control.resize(800, 600);
    control.show();
    const auto network = control.Network();
    network->AddNode(1);
    network->Layers().Item(1)->Nodes().Item(1)->Name()->setText(QStringLiteral("Warm up"));
    control.DrawNetwork();
    QApplication::processEvents();
}

// The processor time of this process so far (user and system, in seconds) and the pages it
// has been given (minor faults): on a machine short of free memory, giving a page costs far
// more than the work done in it.
struct Usage {
    double user = 0;
    double system = 0;
    long pages = 0;
};

Usage usage()
{
    rusage now {};
    getrusage(RUSAGE_SELF, &now);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {seconds(now.ru_utime), seconds(now.ru_stime), now.ru_minflt};
}

int openAndClose(const QString& path, int nodeCount)
{
    warmUp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto control = std::make_unique<ctlPelnet>();
    control->resize(800, 600);
    control->show();
    QApplication::processEvents();
    control->Network()->setFileName(path);

    auto started = Clock::now();
    const Usage before = usage();
    const bool opened = control->FileOpen();
    QApplication::processEvents();
    const double open = secondsSince(started);
    const Usage after = usage();
    if (!opened || control->Network()->NodeCount() != nodeCount) {
        std::fprintf(stderr, "opening %s failed\n", qPrintable(path));
        return 1;
    }
    const qint64 resident = memoryFigure("VmRSS");
    const qint64 peak = memoryFigure("VmHWM");

    started = Clock::now();
    control.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const double close = secondsSince(started);
    std::printf("open %.6f resident %lld peak %lld close %.6f user %.6f system %.6f pages %ld\n", open,
                static_cast<long long>(resident), static_cast<long long>(peak), close, after.user - before.user,
                after.system - before.system, after.pages - before.pages);
    return 0;
}

struct OpenFigures {
    std::vector<double> open;
    std::vector<double> close;
    std::vector<double> resident;
    std::vector<double> peak;
    std::vector<double> user;
    std::vector<double> system;
    std::vector<double> pages;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool measureOpen(const QString& path, int nodeCount, OpenFigures& figures)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open"), path, QString::number(nodeCount)});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 14)
        return false;
    figures.open.push_back(words[1].toDouble());
    figures.resident.push_back(words[3].toDouble() / (1024 * 1024));
    figures.peak.push_back(words[5].toDouble() / (1024 * 1024));
    figures.close.push_back(words[7].toDouble());
    figures.user.push_back(words[9].toDouble());
    figures.system.push_back(words[11].toDouble());
    figures.pages.push_back(words[13].toDouble());
    return true;
}

const std::vector<int> kSizes {10000, 100000, 200000};

QString layeredDocument(const QString& folder, int nodeCount)
{
    return folder + QStringLiteral("/open-%1.xml").arg(nodeCount);
}

QString longNameDocument(const QString& folder)
{
    return folder + QStringLiteral("/long-name.xml");
}

bool writeDocuments(const QString& folder)
{
    for (const int size : kSizes) {
        if (!bench::writeLayeredDocument(layeredDocument(folder, size), size)) {
            std::fprintf(stderr, "writing %d nodes failed\n", size);
            return false;
        }
    }
    if (!bench::writeLongNameDocument(longNameDocument(folder), 50 * 1000 * 1000)) {
        std::fprintf(stderr, "writing the long name failed\n");
        return false;
    }
    return true;
}

struct Limit {
    bool& ok;
    void operator()(const char* figure, double value, const char* unit, double limit)
    {
        const bool within = value < limit;
        std::printf("%-58s %10.3f %-2s (limit %g %s)%s\n", figure, value, unit, limit, unit, within ? "" : "  OUTSIDE");
        ok = ok && within;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--open"))
        return openAndClose(arguments[2], arguments[3].toInt());
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--save")) {
        std::printf("save %.6f\n", saveTime(arguments[2], arguments[3].toInt()));
        return 0;
    }
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--documents"))
        return writeDocuments(arguments[2]) ? 0 : 1;

    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is known
    basGlobal::Settings.AutoAnswer = true;
    bool ok = true;
    Limit check {ok};

    const double ten = answerTime(10, 2, 2);
    const double twenty = answerTime(20, 2, 2);
    std::printf("one answer, two nodes a layer: 10 layers %.3f ms, 20 layers %.3f ms\n", ten * 1000, twenty * 1000);
    check("one answer, 20 against 10 layers of two nodes (near 2)", twenty / ten, "x", 3);
    check("one answer, 8 layers of 50 nodes with 3 links each", answerTime(8, 50, 3) * 1000, "ms", 1);

    const ChainTimes chain = chainTimes(30000);
    std::printf("chain of 30,000 nodes laid out by Structure in %lld layers\n", static_cast<long long>(chain.layers));
    ok = ok && chain.layers == 30000;
    check("chain of 30,000 nodes: Structure", chain.structure, "s", 1);
    check("chain of 30,000 nodes, structured: RecomputeDegreesOfTruth", chain.recomputeStructured, "s", 1);
    check("chain of 30,000 nodes in one layer: RecomputeDegreesOfTruth", chain.recomputeOneLayer, "s", 0.1);
    basGlobal::Settings.AutoAnswer = false;

    QTemporaryDir folder;
    const double save100k = saveTime(folder.path(), 100000);
    const double save200k = saveTime(folder.path(), 200000);
    std::printf("save: 100,000 nodes %.3f s, 200,000 nodes %.3f s\n", save100k, save200k);
    check("save 200,000 against 100,000 nodes (near 2)", save200k / save100k, "x", 2.5);
    if (!writeDocuments(folder.path()))
        return 1;
    std::map<int, QString> documents;
    for (const int size : kSizes)
        documents[size] = layeredDocument(folder.path(), size);
    const QString longName = longNameDocument(folder.path());

    std::map<int, OpenFigures> opened;
    OpenFigures longNameFigures;
    for (int round = 0; round < 3; ++round) {
        for (const int size : kSizes) {
            if (!measureOpen(documents[size], size, opened[size])) {
                std::fprintf(stderr, "opening %d nodes failed\n", size);
                return 1;
            }
        }
        if (!measureOpen(longName, 1, longNameFigures)) {
            std::fprintf(stderr, "opening the long name failed\n");
            return 1;
        }
    }
    const double open10k = median(opened[10000].open);
    const double open100k = median(opened[100000].open);
    const double open200k = median(opened[200000].open);
    std::printf("open, median of 3 rounds: 10,000 nodes %.3f s, 100,000 nodes %.3f s, 200,000 nodes %.3f s\n", open10k,
                open100k, open200k);
    const auto usageLine = [&](const char* what, const OpenFigures& figures) {
        std::printf("  %s: user %.3f s, system %.3f s, %.0f pages given\n", what, median(figures.user),
                    median(figures.system), median(figures.pages));
    };
    std::printf("processor time and memory pages of those opens (medians):\n");
    usageLine("10,000 nodes", opened[10000]);
    usageLine("100,000 nodes", opened[100000]);
    usageLine("200,000 nodes", opened[200000]);
    usageLine("50 MB name", longNameFigures);
    check("open 100,000 against 10,000 nodes", open100k / open10k, "x", 12.0001);
    check("open 100,000 nodes", open100k, "s", 2);
    check("open 200,000 against 100,000 nodes", open200k / open100k, "x", 2.3001);
    check("open 200,000 nodes: resident after the open", median(opened[200000].resident), "MB", 1024);
    check("open 200,000 nodes: peak resident", median(opened[200000].peak), "MB", 1024);
    check("close 200,000 nodes (destroy the control)", median(opened[200000].close), "s", 1);
    check("open one node named with 50 MB of text", median(longNameFigures.open), "s", 3);
    check("open one node named with 50 MB of text: peak resident", median(longNameFigures.peak), "MB", 500);

    std::printf("%s\n", ok ? "within limits" : "OUTSIDE LIMITS");
    return ok ? 0 : 1;
}
