#pragma once

#include <QFile>
#include <QTimer>
#include <algorithm>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace kelvane::test {

// How far the memory the process holds rose above where it was while `run` ran, in MiB.
inline qint64 peakMemoryGrowthMiB(const std::function<void()>& run)
{
#if defined(__SANITIZE_ADDRESS__)
    // Freed memory waits in the sanitizer's quarantine, so resident memory tells little:
    // the bytes allocated are sampled while `run` pumps the event loop.
    const auto held = [] { return qint64(__sanitizer_get_current_allocated_bytes()); };
    const qint64 before = held();
    qint64 peak = before;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { peak = std::max(peak, held()); });
    sampler.start(5);
    run();
    peak = std::max(peak, held());
    return (peak - before) / (1024 * 1024);
#else
    const auto statusField = [](const char* name) -> qint64 {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith(name))
                return line.mid(qsizetype(qstrlen(name))).trimmed().split(' ').value(0).toLongLong(); // kB
        }
        return 0;
    };
    // The kernel's peak mark is reset first.
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly))
        reset.write("5");
    reset.close();
    const qint64 before = statusField("VmRSS:");
    run();
    return (statusField("VmHWM:") - before) / 1024;
#endif
}

} // namespace kelvane::test
