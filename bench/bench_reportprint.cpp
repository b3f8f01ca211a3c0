// File > Print of the report tree, as the program runs it: the program's own start-up opens the
// knowledge base, the Tree view is chosen and File > Print prints into a PDF file (the printer
// dialog and any message accepted as a user would). Each print runs in a process of its own;
// printed are its peak memory (maximum resident set, kB), its time from the click to the end, the
// PDF's pages or the message shown, and the load average. Knowledge bases: a lattice of 24 layers
// of two nodes, each the evidence of both above (16 million paths); one of 12 layers (8,191
// report lines); the same with names of 520 characters, near both limits of a print; chains of
// evidence 2,000 and 9,000 nodes deep. "--print <file> <pdf>" runs one print and prints
// "rss <kB> seconds <s> pages <n> message <text>".
#include "app/ProgramServices.h"
#include "bench/BenchTiming.h"
#include "bench/ProgramProcess.h"
#include "bench/ScaleDocuments.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "network/clsNetwork.h"
#include "platform/gui/QtPrinter.h"
#include "shell/ToolBands.h"
#include "shell/basMain.h"
#include "shell/frmNavigate.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace kelvane;

namespace {

constexpr int kChildLimitMs = 300 * 1000;

int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

int printReport(const QString& document, const QString& pdf)
{
    const ProgramServices services({});
    platform::ScopedService<platform::Printer, platform::QtPrinter> printer(pdf);
    // Every dialog (the introduction, the printer dialog, a message) is accepted as it shows.
    QString message = QStringLiteral("-");
    QTimer accepter;
    QObject::connect(&accepter, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                message = box->text();
            dialog->accept();
        }
    });
    accepter.start(10);
    basMain::Program program = basMain::Main(document);
    if (!program.mainWindow || program.mainWindow->Unloaded())
        return 1;
    auto& tools = program.mainWindow->SSActiveToolBars1();
    tools.Tool(QStringLiteral("&Tree"))->trigger();
    QElapsedTimer clock;
    clock.start();
    tools.Tool(QStringLiteral("&Print"))->trigger();
    const double seconds = clock.nsecsElapsed() / 1e9;
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rss %ld seconds %.3f pages %d message %s\n", usage.ru_maxrss, seconds, pdfPages(pdf), qPrintable(message));
    std::fflush(stdout);
    std::_Exit(0); // the figures are taken; the window's unload is not measured
}

// The network with every node named by `characters` of words, each name its own.
std::shared_ptr<clsNetwork> withLongNames(std::shared_ptr<clsNetwork> network, int characters)
{
    int number = 0;
    for (const auto& layer : network->Layers()) {
        for (const auto& node : layer->Nodes()) {
            const QString name = QStringLiteral("Node %1 ").arg(++number);
            node->Name()->setText(name + QStringLiteral("word ").repeated((characters - name.size()) / 5));
        }
    }
    return network;
}

} // namespace

int main(int argc, char** argv)
{
    bench::ProgramApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--print"))
        return printReport(arguments[2], arguments[3]);

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir folder;
    const std::vector<std::pair<QString, std::shared_ptr<clsNetwork>>> documents {
        {QStringLiteral("lattice-24"), bench::layeredNetwork(24, 2, 2)},
        {QStringLiteral("lattice-12"), bench::layeredNetwork(12, 2, 2)},
        {QStringLiteral("long-names"), withLongNames(bench::layeredNetwork(12, 2, 2), 520)},
        {QStringLiteral("chain-2000"), bench::chainInOneLayer(2000)},
        {QStringLiteral("chain-9000"), bench::chainInOneLayer(9000)},
    };
    bool ok = true;
    for (const auto& [name, network] : documents) {
        const QString path = folder.filePath(name + QStringLiteral(".xml"));
        network->Name()->setText(name);
        if (!bench::saveDocument(*network, path)) {
            std::fprintf(stderr, "writing %s failed\n", qPrintable(name));
            return 1;
        }
        const QByteArray figures = bench::runInFreshUserFolder(
            {QStringLiteral("--print"), path, folder.filePath(name + QStringLiteral(".pdf"))}, kChildLimitMs);
        ok = ok && !figures.isEmpty();
        std::printf("%-11s %6lld bytes: %s; load average %s\n", qPrintable(name), static_cast<long long>(QFile(path).size()),
                    figures.isEmpty() ? "failed or no end within the limit" : figures.constData(), qPrintable(bench::loadAverage()));
    }
    return ok ? 0 : 1;
}
