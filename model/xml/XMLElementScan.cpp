#include "model/xml/XMLElementScan.h"

#include <algorithm>

namespace basXML {

namespace {

// The elements found are handed over a few at a time, so that the reader seldom waits for
// the lock.
constexpr std::size_t kElementsPerHandOver = 256;

// A shorter text is searched by the reader: a thread would cost more than the search.
constexpr qsizetype kLongText = qsizetype(1) << 20;

} // namespace

XMLElementScan::XMLElementScan(QStringView text, const QString& tag) : m_walker(text, tag)
{
    if (text.size() >= kLongText)
        m_thread = std::jthread([this](std::stop_token stop) { scan(stop); });
}

XMLElementScan::~XMLElementScan()
{
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

void XMLElementScan::scan(const std::stop_token& stop)
{
    try {
        std::vector<QStringView> found;
        found.reserve(kElementsPerHandOver);
        bool ended = false;
        while (!ended && !stop.stop_requested()) {
            const QStringView element = m_walker.next();
            ended = element.isEmpty();
            if (!ended)
                found.push_back(element);
            if (ended || found.size() == kElementsPerHandOver) {
                const std::lock_guard lock(m_lock);
                m_found.insert(m_found.end(), found.cbegin(), found.cend());
                m_ended = ended;
                found.clear();
                m_changed.notify_all();
            }
        }
    } catch (...) {
        // The reader meets the failure rather than an early end of the elements.
        const std::lock_guard lock(m_lock);
        m_failure = std::current_exception();
        m_ended = true;
        m_changed.notify_all();
    }
}

std::vector<QStringView> XMLElementScan::take(std::size_t count)
{
    if (!m_thread.joinable()) {
        std::vector<QStringView> elements;
        while (elements.size() < count) {
            const QStringView element = m_walker.next();
            if (element.isEmpty())
                break;
            elements.push_back(element);
        }
        return elements;
    }
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [&] { return m_ended || m_found.size() - m_taken >= count; });
    if (m_failure)
        std::rethrow_exception(m_failure);
    const std::size_t taking = std::min(count, m_found.size() - m_taken);
    const auto first = m_found.cbegin() + std::ptrdiff_t(m_taken);
    std::vector<QStringView> elements(first, first + std::ptrdiff_t(taking));
    m_taken += taking;
    return elements;
}

qsizetype XMLElementScan::position()
{
    if (!m_thread.joinable())
        return m_walker.position();
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [&] { return m_ended; });
    if (m_failure)
        std::rethrow_exception(m_failure);
    return m_walker.position();
}

} // namespace basXML
