#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

namespace platform {

struct StorageEntry;

// The entries of a storage in file order, found by name (compared without regard to case, as
// the file format does) through an index rather than by looking through them all. The index
// follows every change made through the list; an entry's name stays as it is while the entry
// is in the list.
class StorageChildren {
public:
    StorageChildren() = default;
    StorageChildren(std::vector<StorageEntry> entries); // NOLINT: a list of entries is a storage's children

    StorageChildren(const StorageChildren&);
    StorageChildren(StorageChildren&&) noexcept;
    StorageChildren& operator=(const StorageChildren&);
    StorageChildren& operator=(StorageChildren&&) noexcept;
    ~StorageChildren();

    using const_iterator = std::vector<StorageEntry>::const_iterator;
    const_iterator begin() const;
    const_iterator end() const;
    std::size_t size() const;
    bool empty() const;
    const StorageEntry& operator[](std::size_t i) const;
    const StorageEntry& at(std::size_t i) const;
    const StorageEntry& front() const;
    StorageEntry& back();
    const StorageEntry& back() const;

    void push_back(StorageEntry entry);
    // Takes out the entries `remove` picks; the others keep their order.
    void eraseIf(const std::function<bool(const StorageEntry&)>& remove);

    // The first entry of that name, or null.
    StorageEntry* find(const QString& name);
    const StorageEntry* find(const QString& name) const;

    // How many entries the lookups have looked at so far.
    qsizetype entriesVisited() const { return m_entriesVisited; }

private:
    void index(qsizetype position);

    std::vector<StorageEntry> m_entries;
    QHash<QString, qsizetype> m_positions; // by name in folded case: the first entry of each name
    mutable qsizetype m_entriesVisited = 0;
};

} // namespace platform
