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
//    nodes: the ratio of the times stays near 2);
//  - opening 10,000 and 20,000 nodes each named with 10,000 characters in a shown control;
//  - the pointer over the 200,000-node document in a shown control in viewing mode: a move, and
//    a click and double click on a node, each within a frame (16 ms);
//  - the program's own open, launch to a usable window, of 100,000 and 200,000 nodes: what its
//    main does, in order (the splash it shows for 1 to 2 s included).
// Every open runs in a process of its own (this program started again with "--open",
// "--pointer" or "--program"), so that its memory is its own; rounds of the sizes are
// interleaved and the median is taken; the figures of the diagram and the program print the
// machine's load beside them. Run it from a Release build. For profiling, "--documents
// <folder>" only writes the documents and "--open <file> <nodes>" opens and closes one of them;
// "--save <folder> <nodes>" saves a network of that size there and prints the time;
// "--diagram" takes only the figures of the diagram and the program.
#include "app/ProgramServices.h"
#include "bench/BenchTiming.h"
#include "bench/ScaleDocuments.h"
#include "diagram/NetworkCanvas.h"
#include "diagram/ctlPelnet.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "network/NetworkRecompute.h"
#include "network/clsNetwork.h"
#include "shell/ProductInfo.h"
#include "shell/basMain.h"
#include "shell/frmNavigate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <map>
#include <optional>
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

// The words this program, started again with `arguments`, printed; nothing when it failed or
// printed another number of words.
std::optional<QList<QByteArray>> childWords(const QStringList& arguments, qsizetype count)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return std::nullopt;
    QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != count)
        return std::nullopt;
    return words;
}

bool measureOpen(const QString& path, int nodeCount, OpenFigures& figures)
{
    const auto said = childWords({QStringLiteral("--open"), path, QString::number(nodeCount)}, 14);
    if (!said)
        return false;
    const QList<QByteArray>& words = *said;
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

// --- The diagram at scale ---------------------------------------------------------------------

// The load of the machine while a figure was taken (/proc/loadavg: 1, 5 and 15 minutes).
QByteArray loadNow()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').mid(0, 3).join(' ') : QByteArray("?");
}

// Checks a figure and prints the machine's load beside it.
void checkUnderLoad(Limit& check, const char* figure, double value, const char* unit, double limit)
{
    check(figure, value, unit, limit);
    std::printf("%-58s load %s\n", "", loadNow().constData());
}

// The child's part of the pointer figures: the document opened in a shown control in viewing
// mode, as the program shows it; then the pointer moved over it at random places, and clicked
// and double-clicked on nodes, each event sent to the canvas as the window system delivers it.
// Prints "first <s> move <s> slowest <s> click <s>": the first move (which lays the network
// out for the hit tests), the median and the slowest of the moves after it, and the median
// press, release, double click and release on a node.
int pointerTimes(const QString& path, int nodeCount)
{
    warmUp();
    auto control = std::make_unique<ctlPelnet>();
    control->resize(800, 600);
    control->show();
    QApplication::processEvents();
    control->Network()->setFileName(path);
    if (!control->FileOpen() || control->Network()->NodeCount() != nodeCount) {
        std::fprintf(stderr, "opening %s failed\n", qPrintable(path));
        return 1;
    }
    QApplication::processEvents();
    basGlobal::ApplicationMode = 1;
    QWidget* canvas = control->picnetwork();
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, canvas->mapToGlobal(at), button, buttons, Qt::NoModifier);
        const auto started = Clock::now();
        QCoreApplication::sendEvent(canvas, &event);
        return secondsSince(started);
    };
    QRandomGenerator random(37);
    const auto anywhere = [&] { return QPointF(random.bounded(800.0), random.bounded(600.0)); };
    const double first = send(QEvent::MouseMove, anywhere(), Qt::NoButton, Qt::NoButton);
    std::vector<double> moves;
    for (int i = 0; i < 200; ++i)
        moves.push_back(send(QEvent::MouseMove, anywhere(), Qt::NoButton, Qt::NoButton));
    std::vector<double> clicks;
    const auto& layers = control->Network()->Layers();
    for (int i = 0; i < 20; ++i) {
        const qint32 layer = qint32(1 + random.bounded(quint32(layers.Count())));
        const qsizetype count = layers.Item(layer)->Nodes().Count();
        const QPointF at((layer - 0.5) * 800.0 / layers.Count(), (double(1 + random.bounded(quint32(count))) - 0.5) * 600.0 / count);
        double seconds = send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        seconds += send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        seconds += send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        seconds += send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        clicks.push_back(seconds);
    }
    std::printf("first %.6f move %.6f slowest %.6f click %.6f\n", first, median(moves),
                *std::max_element(moves.begin(), moves.end()), median(clicks));
    return 0;
}

struct PointerFigures {
    std::vector<double> first;
    std::vector<double> move;
    std::vector<double> slowest;
    std::vector<double> click;
};

bool measurePointer(const QString& path, int nodeCount, PointerFigures& figures)
{
    const auto said = childWords({QStringLiteral("--pointer"), path, QString::number(nodeCount)}, 8);
    if (!said)
        return false;
    const QList<QByteArray>& words = *said;
    figures.first.push_back(words[1].toDouble());
    figures.move.push_back(words[3].toDouble());
    figures.slowest.push_back(words[5].toDouble());
    figures.click.push_back(words[7].toDouble());
    return true;
}

// The child's part of the program's own open: what the program's main does, in order, with the
// document on the command line (the application's name and closing rule, the program's
// services, start-up showing the main window with its load); then the events that load left
// behind. Prints "usable" as soon as the window is, and ends at once.
int programOpen(const QString& path)
{
    QApplication::setApplicationName(productinfo::ProductName());
    QApplication::setQuitOnLastWindowClosed(false);
    const ProgramServices services({});
    const basMain::Program program = basMain::Main(path);
    QApplication::processEvents();
    const bool shown = program.mainWindow->isVisible() && program.mainWindow->lastLoadResult() == frmNavigate::LoadResult::Loaded;
    std::printf("%s\n", shown ? "usable" : "failed");
    std::fflush(stdout);
    std::_Exit(shown ? 0 : 1); // what closing would save is not part of the figure
}

// The time from starting the program's open in a process of its own to its window being
// usable, by this process's clock. The settings live in `settings` (the introduction turned
// off, as a user who has seen it has it); nothing is written anywhere else.
double programOpenTime(const QString& path, const QString& settings)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settings);
    environment.insert(QStringLiteral("TMP"), settings);
    child.setProcessEnvironment(environment);
    const auto started = Clock::now();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--program"), path});
    QByteArray said;
    while (!said.contains('\n') && child.waitForReadyRead(-1))
        said += child.readAllStandardOutput();
    const double seconds = secondsSince(started);
    child.waitForFinished(-1);
    return said.startsWith("usable") ? seconds : -1;
}

// Launch to a usable window, as the program does it, for 100,000 and 200,000 nodes; each round
// after one that has entered the program's classes in the registry, as every run but the first.
bool measureProgramOpen(Limit& check, const QString& folder, const QString& hundredThousand, const QString& twoHundredThousand)
{
    const QString settings = folder + QStringLiteral("/program-settings");
    QDir().mkpath(settings + QStringLiteral("/Kelvane"));
    QFile introduction(settings + QStringLiteral("/Kelvane/Kelvane.ini"));
    if (!introduction.open(QIODevice::WriteOnly) || introduction.write("[Introduction]\nBenchmark=1\n") < 0)
        return false;
    introduction.close();
    if (programOpenTime(hundredThousand, settings) < 0)
        return false;
    std::vector<double> hundred;
    std::vector<double> twoHundred;
    for (int round = 0; round < 3; ++round) {
        hundred.push_back(programOpenTime(hundredThousand, settings));
        twoHundred.push_back(programOpenTime(twoHundredThousand, settings));
        if (hundred.back() < 0 || twoHundred.back() < 0)
            return false;
    }
    std::printf("the program's open to a usable window, median of 3 rounds (its splash stays up for 1 to 2 s):\n");
    checkUnderLoad(check, "program: launch to a usable window, 100,000 nodes", median(hundred), "s", 2.5);
    checkUnderLoad(check, "program: launch to a usable window, 200,000 nodes", median(twoHundred), "s", 5);
    return true;
}

// Names of 10,000 characters on 10,000 and 20,000 nodes, opened in a shown control; and the
// pointer over the 200,000-node document.
bool measureTheDiagramAtScale(Limit& check, const QString& folder, const QString& largestDocument)
{
    const QString tenThousand = folder + QStringLiteral("/long-names-10000.xml");
    const QString twentyThousand = folder + QStringLiteral("/long-names-20000.xml");
    if (!bench::writeLongNamesDocument(tenThousand, 10000, 10000)
        || !bench::writeLongNamesDocument(twentyThousand, 20000, 10000)) {
        std::fprintf(stderr, "writing the long names failed\n");
        return false;
    }
    OpenFigures ten;
    OpenFigures twenty;
    PointerFigures pointer;
    for (int round = 0; round < 3; ++round) {
        if (!measureOpen(tenThousand, 10000, ten) || !measureOpen(twentyThousand, 20000, twenty)
            || !measurePointer(largestDocument, 200000, pointer)) {
            std::fprintf(stderr, "the diagram at scale failed\n");
            return false;
        }
    }
    std::printf("open, names of 10,000 characters, median of 3 rounds: 10,000 nodes %.3f s, 20,000 nodes %.3f s\n",
                median(ten.open), median(twenty.open));
    checkUnderLoad(check, "open 20,000 nodes named with 10,000 characters each", median(twenty.open), "s", 3);
    checkUnderLoad(check, "open 20,000 against 10,000 nodes named so", median(twenty.open) / median(ten.open), "x", 2.3001);
    std::printf("pointer over 200,000 nodes, medians of 3 rounds: first move %.1f ms, slowest move %.1f ms\n",
                median(pointer.first) * 1000, median(pointer.slowest) * 1000);
    checkUnderLoad(check, "200,000 nodes: a pointer move (median of 200)", median(pointer.move) * 1000, "ms", 16);
    checkUnderLoad(check, "200,000 nodes: click and double click on a node", median(pointer.click) * 1000, "ms", 16);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--open"))
        return openAndClose(arguments[2], arguments[3].toInt());
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--pointer"))
        return pointerTimes(arguments[2], arguments[3].toInt());
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--program"))
        return programOpen(arguments[2]);
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--save")) {
        std::printf("save %.6f\n", saveTime(arguments[2], arguments[3].toInt()));
        return 0;
    }
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--documents"))
        return writeDocuments(arguments[2]) ? 0 : 1;

    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is known
    if (arguments.size() == 2 && arguments[1] == QStringLiteral("--diagram")) {
        // Only the figures of the diagram at scale.
        bool ok = true;
        Limit check {ok};
        QTemporaryDir folder;
        const QString hundredThousand = layeredDocument(folder.path(), 100000);
        const QString largest = layeredDocument(folder.path(), 200000);
        if (!bench::writeLayeredDocument(hundredThousand, 100000) || !bench::writeLayeredDocument(largest, 200000)
            || !measureTheDiagramAtScale(check, folder.path(), largest)
            || !measureProgramOpen(check, folder.path(), hundredThousand, largest))
            return 1;
        std::printf("%s\n", ok ? "within limits" : "OUTSIDE LIMITS");
        return ok ? 0 : 1;
    }
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

    if (!measureTheDiagramAtScale(check, folder.path(), documents[200000])
        || !measureProgramOpen(check, folder.path(), documents[100000], documents[200000]))
        return 1;

    std::printf("%s\n", ok ? "within limits" : "OUTSIDE LIMITS");
    return ok ? 0 : 1;
}
