#pragma once

#include <optional>

namespace platform {

// The value last made from a key: made again only for another key.
template <class Key, class Made>
class LastMade {
public:
    template <class Make>
    const Made& operator()(const Key& key, Make&& make)
    {
        if (!m_last || m_last->key != key)
            m_last.emplace(Entry {key, make()});
        return m_last->made;
    }

private:
    struct Entry {
        Key key;
        Made made;
    };
    std::optional<Entry> m_last;
};

} // namespace platform
