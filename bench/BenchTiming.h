#pragma once

#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <functional>

namespace kelvane::bench {

// The best of `rounds` runs of `run`, in seconds.
inline double bestSeconds(int rounds, const std::function<void()>& run)
{
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

// The machine's load averages over 1, 5 and 15 minutes, to print beside every figure.
inline QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(u' ', 0, 2) : QStringLiteral("?");
}

} // namespace kelvane::bench
