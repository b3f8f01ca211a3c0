#pragma once

#include "platform/GuidSource.h"

#include <deque>

namespace platform::doubles {

// Hands out the GUIDs queued by the test, then counts up from data1 = 1.
class SequenceGuidSource : public GuidSource {
public:
    void queue(const Guid& guid) { m_queued.push_back(guid); }
    Guid newGuid() override
    {
        if (!m_queued.empty()) {
            const Guid guid = m_queued.front();
            m_queued.pop_front();
            return guid;
        }
        Guid guid;
        guid.data1 = ++m_counter;
        return guid;
    }

private:
    std::deque<Guid> m_queued;
    quint32 m_counter = 0;
};

} // namespace platform::doubles
