#include "model/xml/TextSearch.h"

#include "platform/ParallelRanges.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace basXML {

namespace {

// The characters a part holds (and the stretch searched alone first): most searches end in it.
constexpr qsizetype kPartLength = qsizetype(1) << 20;
// Texts shorter than this past the first stretch are searched alone: the threads' start and
// end would cost more than they save.
constexpr qsizetype kLongRest = 32 * kPartLength;

constexpr qsizetype kNowhere = std::numeric_limits<qsizetype>::max();

// Lowers `found` to `position` when it is earlier.
void keepEarlier(std::atomic<qsizetype>& found, qsizetype position)
{
    qsizetype now = found.load();
    while (position < now && !found.compare_exchange_weak(now, position)) {
    }
}

} // namespace

qsizetype FindInText(QStringView text, QStringView pattern, qsizetype from)
{
    if (from < 0 || pattern.isEmpty() || text.size() - from < kPartLength + kLongRest)
        return text.indexOf(pattern, from);
    // An occurrence that begins in a part may end in the next one.
    const qsizetype overlap = pattern.size() - 1;
    const qsizetype first = text.mid(from, kPartLength + overlap).indexOf(pattern);
    if (first >= 0)
        return from + first;

    const qsizetype restFrom = from + kPartLength;
    const qsizetype rest = text.size() - restFrom;
    const std::size_t parts = std::size_t((rest + kPartLength - 1) / kPartLength);
    std::atomic<qsizetype> found(kNowhere);
    // The parts are handed out in order: those after an occurrence found are not searched.
    platform::forEachRange(parts, 1, [&](std::size_t begin, std::size_t end) {
        for (std::size_t part = begin; part < end; ++part) {
            const qsizetype partFrom = restFrom + qsizetype(part) * kPartLength;
            if (partFrom > found.load())
                return;
            const qsizetype at = text.mid(partFrom, std::min(kPartLength + overlap, text.size() - partFrom)).indexOf(pattern);
            if (at >= 0)
                keepEarlier(found, partFrom + at);
        }
    });
    return found.load() == kNowhere ? -1 : found.load();
}

} // namespace basXML
