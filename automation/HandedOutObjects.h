#pragma once

#include "platform/automation/DispatchObject.h"

#include <QString>
#include <map>

namespace kelvane {

// The objects handed out on the bus that no path from the knowledge base reaches (what Clone
// makes, what a client creates), each kept alive for the client it was handed to, under a path
// of its own ("/Objects/n" and a number never used again), until that client leaves the bus.
class HandedOutObjects {
public:
    // The path the object is reached by from now on.
    QString add(platform::automation::DispatchObject object, const QString& client);
    // The object of the path element ("n" and its number); Nothing when there is none (any more).
    platform::automation::DispatchObject find(const QString& element) const;
    // Lets go of everything handed to `client`.
    void releaseFor(const QString& client);

private:
    struct Entry {
        platform::automation::DispatchObject object;
        QString client;
    };
    std::map<quint64, Entry> m_entries;
    quint64 m_next = 1;
};

} // namespace kelvane
