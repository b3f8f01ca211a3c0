#pragma once

#include "model/xml/XMLElementWalker.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace basXML {

// Finds the elements `tag` of a text, as an XMLElementWalker does. In a long text the search
// runs on a thread of its own, ahead of the reader taking the elements a few at a time, so that
// the reader's thread no longer searches the text; a short one is searched as the reader takes.
// The text must stay as it is for as long as the scan lives.
class XMLElementScan {
public:
    XMLElementScan(QStringView text, const QString& tag);
    // Stops the search where it stands.
    ~XMLElementScan();
    XMLElementScan(const XMLElementScan&) = delete;
    XMLElementScan& operator=(const XMLElementScan&) = delete;

    // The next elements, up to `count` of them in text order; fewer only when the text holds
    // no more. An error that stopped the search is raised here.
    std::vector<QStringView> take(std::size_t count);

    // Where the text after the last element found begins; waits for the search to end.
    qsizetype position();

private:
    void scan(const std::stop_token& stop);

    XMLElementWalker m_walker; // used by the search's thread alone until it has ended (else by the reader)
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<QStringView> m_found;
    std::size_t m_taken = 0; // of m_found
    bool m_ended = false;
    std::exception_ptr m_failure; // what stopped the search, raised again to the reader
    std::jthread m_thread; // the search's, made once everything above is; none for a short text
};

} // namespace basXML
