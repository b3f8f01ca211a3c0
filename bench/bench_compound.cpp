// Compound files of many entries, through the macro project's storage as the program reads and
// writes it. A macro file of 100,000 modules laid out as earlier versions wrote it (the modules
// in one chain of siblings, deeper than libgsf's recursion reaches) is refused at once; the most
// modules a file holds are saved, each storage as a balanced tree, and opened again. Medians of
// interleaved rounds, the machine's load beside them. Run it from a Release build.
#include "automation/ProjectStorage.h"
#include "bench/BenchTiming.h"
#include "platform/CompoundDirectory.h"
#include "platform/RuntimeError.h"
#include "tests/support/CraftedCompoundFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

using namespace kelvane;

namespace {

constexpr int kRounds = 3;
constexpr quint32 kChainedModules = 100000;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double secondsOf(const std::function<void()>& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// As many modules as a file holds beside the storages that keep them, each a few lines of code
// with names and numbers drawn at random.
projectstorage::StoredProject largestProject()
{
    std::mt19937 random(20240611u);
    projectstorage::StoredProject project;
    project.found = true;
    project.name = QStringLiteral("Largest");
    const quint32 modules = platform::compoundfile::CompoundDirectory::kMaxEntries - 4;
    for (quint32 i = 0; i < modules; ++i) {
        const QString text = QStringLiteral("function on%1(node) {\n    node.Answer = %2 / %3;\n    return \"%4\";\n}\n")
                                 .arg(random(), 0, 36)
                                 .arg(random() % 1000)
                                 .arg(1 + random() % 1000)
                                 .arg(random(), 0, 16);
        project.modules.append({QStringLiteral("Module%1").arg(random(), 0, 36) + QString::number(i), text});
    }
    return project;
}

} // namespace

int main()
{
    QTemporaryDir folder;
    const QString chained = folder.filePath(QStringLiteral("chained.vba"));
    const QString largest = folder.filePath(QStringLiteral("largest.vba"));
    QFile file(chained);
    if (!file.open(QIODevice::WriteOnly) || file.write(test::crafted::compoundFile(test::crafted::chainedModules(kChainedModules))) < 0)
        return 1;
    file.close();
    const projectstorage::StoredProject project = largestProject();

    std::map<QString, std::vector<double>> seconds;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        seconds[QStringLiteral("refuse")].push_back(secondsOf([&] {
            try {
                projectstorage::readFile(chained, false);
                ok = false;
            } catch (const RuntimeError&) {
            }
        }));
        QFile::remove(largest);
        seconds[QStringLiteral("save")].push_back(secondsOf([&] { projectstorage::writeFile(largest, project); }));
        seconds[QStringLiteral("open")].push_back(secondsOf([&] {
            ok = ok && projectstorage::readFile(largest, false).modules.size() == project.modules.size();
        }));
    }
    std::printf("load %s\n", qPrintable(bench::loadAverage()));
    std::printf("macro file of %u chained modules (%lld bytes): refused in %.3f s (median of %d)\n", kChainedModules,
                static_cast<long long>(QFile(chained).size()), median(seconds[QStringLiteral("refuse")]), kRounds);
    std::printf("macro file of %lld modules (%lld bytes): saved in %.2f s, opened in %.2f s (medians of %d)\n",
                static_cast<long long>(project.modules.size()), static_cast<long long>(QFile(largest).size()),
                median(seconds[QStringLiteral("save")]), median(seconds[QStringLiteral("open")]), kRounds);
    std::printf("%s\n", ok ? "every file read as expected" : "A FILE WAS NOT READ AS EXPECTED");
    return ok ? 0 : 1;
}
